#include "PiecesReport.h"

#include "Document.h"
#include "MapMarks.h"
#include "PlotFacts.h"
#include "StatisticsReport.h"
#include "TextUtil.h"

#include <QList>
#include <QMap>
#include <QPoint>

namespace vor4 {

namespace {

struct Pieces
{
    QList<std::pair<int, QPoint>> starts;
    QList<std::pair<QPoint, PlotFacts::Unit>> units;
    QList<std::pair<QPoint, QByteArray>> signs;
    qsizetype riverEdges = 0;
    QMap<int, int> revealed; // plots by team
};

Pieces piecesOf(const Document &doc)
{
    Pieces p;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot)
        if (const std::optional<QPoint> start = PlotFacts::startOf(doc.PlayerTexts[slot]).plot())
            p.starts << std::pair{slot, *start};
    const PlotTable &plots = doc.PlotTexts;
    for (int row = 0; row < plots.rowCount(); ++row)
        for (int col = 0; col < plots.columnCount(); ++col) {
            const QByteArrayView text = plots.view(col, row);
            for (const PlotFacts::Unit &unit : PlotFacts::unitsOf(text))
                p.units << std::pair{QPoint(col, doc.fileY(row)), unit};
            if (PlotFacts::mayHold(text) & PlotFacts::MayReveal)
                for (int team : PlotFacts::revealedTeams(text))
                    ++p.revealed[team];
        }
    for (const QByteArray &sign : doc.SignTexts) {
        const std::optional<QPoint> at = MapMarks::signPlot(sign);
        const std::optional<QByteArrayView> caption = PlotFacts::firstValue(sign, "caption");
        if (at)
            p.signs << std::pair{*at, caption ? trimmed(*caption).toByteArray() : QByteArray()};
    }
    p.riverEdges = PlotFacts::riverEdgeCount(plots);
    return p;
}

QByteArray xy(QPoint p) { return QByteArray::number(p.x()) + ',' + QByteArray::number(p.y()); }

QByteArray jsonXy(QPoint p)
{
    return "\"x\":" + QByteArray::number(p.x()) + ",\"y\":" + QByteArray::number(p.y());
}

} // namespace

QByteArray piecesText(const Document &doc)
{
    const Pieces p = piecesOf(doc);
    QByteArray out;
    for (const auto &[player, at] : p.starts)
        out += "start " + QByteArray::number(player) + ' ' + xy(at) + '\n';
    for (const auto &[at, unit] : p.units)
        out += "unit " + xy(at) + ' ' + QByteArray::number(unit.owner) + ' ' + unit.type + '\n';
    for (const auto &[at, caption] : p.signs)
        out += "sign " + xy(at) + ' ' + caption + '\n';
    out += "river edges " + QByteArray::number(p.riverEdges) + '\n';
    for (auto it = p.revealed.cbegin(); it != p.revealed.cend(); ++it)
        out += "revealed to team " + QByteArray::number(it.key()) + ' ' + QByteArray::number(*it) + " plots\n";
    return out;
}

QByteArray piecesJson(const Document &doc)
{
    const Pieces p = piecesOf(doc);
    QByteArray out = "{\"starts\":[";
    for (qsizetype i = 0; i < p.starts.size(); ++i)
        out += (i ? ",{\"player\":" : "{\"player\":") + QByteArray::number(p.starts[i].first) + ','
            + jsonXy(p.starts[i].second) + '}';
    out += "],\"units\":[";
    for (qsizetype i = 0; i < p.units.size(); ++i)
        out += (i ? ",{" : "{") + jsonXy(p.units[i].first) + ",\"owner\":" + QByteArray::number(p.units[i].second.owner)
            + ",\"type\":" + jsonString(p.units[i].second.type) + '}';
    out += "],\"signs\":[";
    for (qsizetype i = 0; i < p.signs.size(); ++i)
        out += (i ? ",{" : "{") + jsonXy(p.signs[i].first) + ",\"caption\":" + jsonString(p.signs[i].second) + '}';
    out += "],\"river_edges\":" + QByteArray::number(p.riverEdges) + ",\"revealed\":[";
    for (auto it = p.revealed.cbegin(); it != p.revealed.cend(); ++it)
        out += (it == p.revealed.cbegin() ? "{\"team\":" : ",{\"team\":") + QByteArray::number(it.key())
            + ",\"plots\":" + QByteArray::number(*it) + '}';
    out += "]}\n";
    return out;
}

} // namespace vor4
