// Each player's effective start against a plain reading on generated maps:
// its first settler (plots by x, then y, in the file's coordinates), else
// its start line, none off the map; the settler index kept up to date by
// rescanning changed areas gives what a fresh reading gives.

#include "Document.h"
#include "PlayerStarts.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace vor4;

namespace {

QByteArray randomUnit(QRandomGenerator &rng, int players)
{
    static const char *const types[] = {"UNIT_SETTLER", "unit_settler", "UNIT_WARRIOR", "UNIT_SCOUT", "UNIT_WORKER"};
    static const char *const owners[] = {"UnitOwner=", "unitowner=", "UNITOWNER="};
    const int owner = rng.bounded(-1, players + 3);
    QByteArray unit = "BeginUnit\r\n\tUnitType=" + QByteArray(types[rng.bounded(5)]);
    if (owner >= 0)
        unit += ", " + QByteArray(owners[rng.bounded(3)]) + QByteArray::number(owner);
    return unit + "\r\n\tDamage=0\r\nEndUnit";
}

QByteArray randomPlot(QRandomGenerator &rng, int players)
{
    QByteArray text = rng.bounded(2) ? "TerrainType=TERRAIN_GRASS" : "TerrainType=TERRAIN_OCEAN\r\nPlotType=3";
    for (int n = rng.bounded(5) == 0 ? rng.bounded(1, 4) : 0; n > 0; --n)
        text += "\r\n" + randomUnit(rng, players);
    return text;
}

// Plainly: the settlers' plots by owner, read line by line.
QMap<int, QList<QPoint>> settlersOf(const Document &doc)
{
    static const QRegularExpression owner(QStringLiteral("unitowner=(-?\\d+)"), QRegularExpression::CaseInsensitiveOption);
    QMap<int, QList<QPoint>> plots;
    for (int x = 0; x < doc.columnCount(); ++x)
        for (int y = 0; y < doc.rowCount(); ++y) {
            bool inUnit = false, settler = false;
            int who = -1;
            for (const QByteArray &line : doc.PlotTexts.text(x, doc.rowCount() - 1 - y).split('\n')) {
                const QString l = QString::fromLatin1(line).trimmed();
                if (l == QLatin1String("BeginUnit")) {
                    inUnit = true;
                    settler = false;
                    who = -1;
                } else if (l == QLatin1String("EndUnit") && inUnit) {
                    inUnit = false;
                    if (settler && who >= 0 && !plots[who].contains(QPoint(x, y)))
                        plots[who] << QPoint(x, y);
                } else if (inUnit && l.contains(QLatin1String("unittype="), Qt::CaseInsensitive)) {
                    settler = l.contains(QLatin1String("settler"), Qt::CaseInsensitive);
                    if (const auto m = owner.match(l); m.hasMatch())
                        who = m.captured(1).toInt();
                }
            }
        }
    return plots;
}

std::optional<QPoint> startLineOf(const QByteArray &playerText)
{
    static const QRegularExpression start(QStringLiteral("StartingX=(-?\\d+), StartingY=(-?\\d+)"));
    const auto m = start.match(QString::fromLatin1(playerText));
    return m.hasMatch() ? std::optional(QPoint(m.captured(1).toInt(), m.captured(2).toInt())) : std::nullopt;
}

QList<PlayerStart> plainStarts(const Document &doc)
{
    const QMap<int, QList<QPoint>> settlers = settlersOf(doc);
    QList<PlayerStart> starts;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        PlayerStart s{slot, settlers.contains(slot), {}};
        const std::optional<QPoint> at = s.fromSettler ? settlers[slot].first() : startLineOf(doc.PlayerTexts[slot]);
        if (!at || at->x() < 0 || at->y() < 0 || at->x() >= doc.columnCount() || at->y() >= doc.rowCount())
            continue;
        s.at = *at;
        starts << s;
    }
    return starts;
}

QString described(const QList<PlayerStart> &starts)
{
    QStringList parts;
    for (const PlayerStart &s : starts)
        parts << QStringLiteral("%1%2@%3,%4").arg(s.player).arg(s.fromSettler ? "s" : "l").arg(s.at.x()).arg(s.at.y());
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestPlayerStarts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void effectiveStartsAgainstAPlainReading();
};

void TestPlayerStarts::effectiveStartsAgainstAPlainReading()
{
    QRandomGenerator rng(33);
    for (int round = 0; round < 300; ++round) {
        const int w = rng.bounded(1, 13), h = rng.bounded(1, 13), players = rng.bounded(1, 13);
        Document doc;
        doc.ResetDocument(w, h);
        for (int col = 0; col < w; ++col)
            for (int row = 0; row < h; ++row)
                doc.PlotTexts.setText(col, row, randomPlot(rng, players));
        for (int slot = 0; slot < players; ++slot)
            if (rng.bounded(4))
                doc.PlayerTexts[slot] = "Team=" + QByteArray::number(slot) + "\r\nStartingX="
                    + QByteArray::number(rng.bounded(-2, w + 2)) + ", StartingY=" + QByteArray::number(rng.bounded(-2, h + 2))
                    + "\r\nStartingX=0, StartingY=0"; // only the first line counts
        QCOMPARE(described(PlayerStarts::effective(doc)), described(plainStarts(doc)));
        for (const PlayerStart &s : plainStarts(doc))
            QCOMPARE(PlayerStarts::effectiveOf(doc, s.player)->at, s.at);

        // An index kept up to date through rescans of the changed areas.
        SettlerIndex index;
        index.scan(doc.PlotTexts);
        for (int edit = 0; edit < 6; ++edit) {
            const QRect area(rng.bounded(w), rng.bounded(h), rng.bounded(1, 4), rng.bounded(1, 4));
            for (int col = area.left(); col <= area.right() && col < w; ++col)
                for (int row = area.top(); row <= area.bottom() && row < h; ++row)
                    doc.PlotTexts.setText(col, row, randomPlot(rng, players));
            index.scan(doc.PlotTexts, area);
            QCOMPARE(described(PlayerStarts::effective(doc, index)), described(plainStarts(doc)));
            QCOMPARE(index.plotsByOwner(h), settlersOf(doc));
        }
    }
}

QTEST_GUILESS_MAIN(TestPlayerStarts)
#include "tst_playerstarts.moc"
