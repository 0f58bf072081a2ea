// Statistics of plot values against a plain count over the plots, the table
// model while the document changes, and the vor4map report forms.

#include "MapDocument.h"
#include "MapReader.h"
#include "PlotQuery.h"
#include "PlotStatistics.h"
#include "SetPlotTexts.h"
#include "StatisticsModel.h"
#include "StatisticsReport.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QtTest>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

const char *const Keys[] = {"TerrainType", "BonusType", "FeatureType", "ImprovementType", "PlotType"};

QByteArray trimPlainly(QByteArray s)
{
    while (!s.isEmpty() && uchar(s.front()) <= 32)
        s.remove(0, 1);
    while (!s.isEmpty() && uchar(s.back()) <= 32)
        s.chop(1);
    return s;
}

QList<QByteArray> splitPlainly(const QByteArray &text)
{
    QByteArray t = text;
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    if (t.endsWith('\n'))
        t.chop(1);
    return t.isEmpty() && text.isEmpty() ? QList<QByteArray>() : t.split('\n');
}

// value -> {plots, land plots}, per kind; "(none)" for plots without the key.
struct Counts
{
    QMap<QByteArray, QPair<qint64, qint64>> values[PlotStatistics::KindCount];
    qint64 plots = 0, filled = 0, land = 0;
};

Counts countPlainly(const PlotTable &t, const QRegion &area = QRegion())
{
    Counts c;
    for (int row = 0; row < t.rowCount(); ++row) {
        for (int col = 0; col < t.columnCount(); ++col) {
            if (!area.isEmpty() && !area.contains(QPoint(col, row)))
                continue;
            const QByteArray text = t.text(col, row);
            QByteArray value[PlotStatistics::KindCount];
            for (int k = 0; k < PlotStatistics::KindCount; ++k) {
                value[k] = "(none)";
                for (const QByteArray &line : splitPlainly(text)) {
                    if (!line.toLower().contains(QByteArray(Keys[k]).toLower() + "="))
                        continue;
                    QByteArray v = line.mid(line.indexOf('=') + 1);
                    if (v.contains(','))
                        v = v.left(v.indexOf(','));
                    value[k] = trimPlainly(v);
                    break;
                }
            }
            const bool land = value[PlotStatistics::PlotType] != "3";
            for (int k = 0; k < PlotStatistics::KindCount; ++k) {
                c.values[k][value[k]].first += 1;
                c.values[k][value[k]].second += land;
            }
            ++c.plots;
            c.filled += !text.isEmpty();
            c.land += land;
        }
    }
    return c;
}

void compareCounts(const PlotStatistics &s, const Counts &c)
{
    QCOMPARE(s.plotCount(), c.plots);
    QCOMPARE(s.filledCount(), c.filled);
    QCOMPARE(s.landCount(), c.land);
    for (int k = 0; k < PlotStatistics::KindCount; ++k) {
        QMap<QByteArray, QPair<qint64, qint64>> got;
        const QList<PlotStatistics::Entry> entries = s.entries(k);
        for (const PlotStatistics::Entry &e : entries)
            got[e.value] = {e.plots, e.landPlots};
        QCOMPARE(got, c.values[k]);
        // Most plots first, "(none)" last.
        for (qsizetype i = 1; i < entries.size(); ++i)
            QVERIFY(entries[i].value == "(none)" || (entries[i - 1].value != "(none)" && entries[i - 1].plots >= entries[i].plots));
    }
}

Document craftedDocument()
{
    static const char *const texts[] = {
        "terraintype = X\r\nTerrainType=A",   // a blank before "=" is no key
        "Foo=bar, TerrainType=X",              // the value follows the first "="
        "TERRAINTYPE=  A  ,B\nPlotType=3 ",
        "PlotType=03\rBonusType=",             // land; an empty value
        "BonusType=B\r\nBonusType=C",
        "  FeatureType=F_X, FeatureVariety=1\r\nImprovementType=IMP,",
        "TerrainType=\xc9T\xc9\r\nPlotType=3",
        "",
        "MyPlotType=1\r\nImprovementtype= I\x01J ",
        "PlotType=0\r\nplottype=1",
    };
    Document doc;
    doc.ResetDocument(11, 7);
    for (int i = 0; i < 77; ++i)
        doc.PlotTexts.setText(i % 11, i / 11, texts[(i * 7) % 10]);
    return doc;
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void countsMatchPlainCount();
    void modelFollowsEdits();
    void modelSortsAndFinds();
    void reports();
};

void TestStatistics::countsMatchPlainCount()
{
    for (const QString &path : {QString(), Continents, Island}) {
        Document doc = craftedDocument();
        if (!path.isEmpty())
            QVERIFY(loadMapFile(path, doc).ok());
        PlotStatistics s;
        for (const QRect &area : {QRect(), QRect(2, 3, 5, 30), QRect(-4, -4, 6, 6), QRect(500, 0, 2, 2)}) {
            std::vector<PlotStatistics::Counted> cells;
            s.count(doc.PlotTexts, area, &cells);
            compareCounts(s, countPlainly(doc.PlotTexts, area));
            QCOMPARE(qint64(cells.size()), s.plotCount());
            // Taking every plot out again leaves nothing counted.
            for (const PlotStatistics::Counted &c : cells)
                s.remove(c);
            QCOMPARE(s.plotCount(), 0);
            QCOMPARE(s.landCount(), 0);
            QCOMPARE(s.filledCount(), 0);
            for (int k = 0; k < PlotStatistics::KindCount; ++k)
                QVERIFY(s.entries(k).isEmpty());
        }
    }
    const PlotStatistics::Values v = PlotStatistics::valuesOf("Foo=bar, TerrainType=X\r\nplottype= 3 ,x");
    QCOMPARE(v[PlotStatistics::Terrain]->toByteArray(), QByteArray("bar"));
    QCOMPARE(v[PlotStatistics::PlotType]->toByteArray(), QByteArray("3"));
    QVERIFY(!v[PlotStatistics::Bonus].has_value());
}

void TestStatistics::modelFollowsEdits()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    StatisticsModel model(&md);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    // The model's rows as counts, to hold against a plain count.
    const auto rowsAsCounts = [&model] {
        Counts c;
        for (int r = 0; r < model.rowCount(); ++r) {
            const int kind = model.index(r, StatisticsModel::KindColumn).data(StatisticsModel::SortRole).toInt();
            const QByteArray value = model.index(r, StatisticsModel::ValueColumn).data().toString().toLatin1();
            const qint64 plots = model.index(r, StatisticsModel::PlotsColumn).data().toLongLong();
            c.values[kind][value] = {plots, 0};
        }
        return c;
    };
    const auto check = [&](const QRegion &area) {
        const Counts plain = countPlainly(md.document().PlotTexts, area);
        compareCounts(model.statistics(), plain);
        const Counts shown = rowsAsCounts();
        for (int k = 0; k < PlotStatistics::KindCount; ++k) {
            QCOMPARE(shown.values[k].keys(), plain.values[k].keys());
            for (auto it = plain.values[k].begin(); it != plain.values[k].end(); ++it)
                QCOMPARE(shown.values[k][it.key()].first, it->first);
        }
    };
    check(QRect());
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    // A new value and the last plot of another (the one oasis).
    const std::vector<qint32> oasis = PlotQuery::compile("FEATURE_OASIS", {}).find(md.document().PlotTexts);
    QCOMPARE(oasis.size(), std::size_t(1));
    auto *step = new SetPlotTexts(&md, QStringLiteral("Edit"));
    step->add(oasis[0] % 64, oasis[0] / 64, "TerrainType=TERRAIN_MARS\r\nPlotType=2");
    step->add(0, 0, "BonusType=BONUS_NEW");
    QVERIFY(md.push(step));
    check(QRect());
    QVERIFY(inserted.count() >= 1);
    QVERIFY(removed.count() >= 1);
    QCOMPARE(reset.count(), 0); // only the changed cells were counted again
    md.undoStack()->undo();
    check(QRect());
    md.undoStack()->redo();
    check(QRect());

    // A region of any shape; edits outside it change nothing.
    const QRegion area = QRegion(20, 10, 15, 4) | QRect(20, 10, 4, 12);
    model.setArea(area);
    QCOMPARE(model.area(), area.boundingRect());
    check(area);
    step = new SetPlotTexts(&md, QStringLiteral("Outside"));
    step->add(30, 20, "TerrainType=TERRAIN_VENUS"); // within its bounding rectangle
    QVERIFY(md.push(step));
    check(area);
    step = new SetPlotTexts(&md, QStringLiteral("Inside"));
    step->add(21, 11, "TerrainType=TERRAIN_VENUS");
    QVERIFY(md.push(step));
    check(area);

    // Closed, it holds nothing and ignores edits; opened, it counts again.
    model.setFollowing(false);
    QCOMPARE(model.rowCount(), 0);
    md.undoStack()->undo();
    model.setFollowing(true);
    check(area);
    // A new document is counted whole.
    QVERIFY(md.load(Island).ok());
    model.setArea(QRect());
    check(QRect());
}

void TestStatistics::modelSortsAndFinds()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    StatisticsModel model(&md);
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setSortRole(StatisticsModel::SortRole);
    proxy.sort(StatisticsModel::PlotsColumn, Qt::DescendingOrder);
    for (int r = 1; r < proxy.rowCount(); ++r)
        QVERIFY(proxy.index(r - 1, StatisticsModel::PlotsColumn).data().toLongLong()
                >= proxy.index(r, StatisticsModel::PlotsColumn).data().toLongLong());
    proxy.sort(StatisticsModel::ShareColumn, Qt::AscendingOrder);
    for (int r = 1; r < proxy.rowCount(); ++r)
        QVERIFY(proxy.index(r - 1, StatisticsModel::ShareColumn).data(StatisticsModel::SortRole).toDouble()
                <= proxy.index(r, StatisticsModel::ShareColumn).data(StatisticsModel::SortRole).toDouble());
    QCOMPARE(model.headerData(StatisticsModel::ShareColumn, Qt::Horizontal).toString(), QStringLiteral("Share of land"));

    // Share: the value's land plots among all land plots; none for water-only values.
    const qint64 land = model.statistics().landCount();
    int checked = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QString value = model.index(r, StatisticsModel::ValueColumn).data().toString();
        const QString share = model.index(r, StatisticsModel::ShareColumn).data().toString();
        if (value == QLatin1String("TERRAIN_OCEAN") || value == QLatin1String("3")) {
            QCOMPARE(share, QString());
            ++checked;
        }
        if (value == QLatin1String("TERRAIN_GRASS")) {
            const qint64 plots = model.index(r, StatisticsModel::PlotsColumn).data().toLongLong();
            QCOMPARE(share, QStringLiteral("%1%").arg(100.0 * double(plots) / double(land), 0, 'f', 1));
            ++checked;
        }
        // A double click finds exactly the plots counted (one line per key in
        // the fixture); "(none)" has nothing to find.
        const QString pattern = model.index(r, StatisticsModel::ValueColumn).data(StatisticsModel::FindPatternRole).toString();
        if (value == QLatin1String("(none)")) {
            QVERIFY(pattern.isEmpty());
            continue;
        }
        QString error;
        const PlotQuery q = PlotQuery::compile(pattern, {true, false, true}, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(qint64(q.find(md.document().PlotTexts).size()),
                 model.index(r, StatisticsModel::PlotsColumn).data().toLongLong());
    }
    QCOMPARE(checked, 3);
}

void TestStatistics::reports()
{
    Document doc = craftedDocument();
    PlotStatistics s;
    s.count(doc.PlotTexts);
    const QByteArray json = statisticsJson(s, 11, 7);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(json, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(json.endsWith("}}\n") && !json.trimmed().contains('\n'));
    QCOMPARE(o.value("columns").toInt(), 11);
    QCOMPARE(o.value("rows").toInt(), 7);
    QCOMPARE(o.value("plots_with_text").toInteger(), s.filledCount());
    const Counts plain = countPlainly(doc.PlotTexts);
    const QJsonObject counts = o.value("counts").toObject();
    QCOMPARE(counts.keys().size(), 5);
    for (int k = 0; k < PlotStatistics::KindCount; ++k) {
        const QJsonObject values = counts.value(QLatin1String(Keys[k])).toObject();
        QCOMPARE(values.size(), plain.values[k].size());
        for (auto it = plain.values[k].begin(); it != plain.values[k].end(); ++it)
            QCOMPARE(values.value(QString::fromLatin1(it.key())).toInteger(), it->first);
    }
    // Latin-1 values as UTF-8, control characters escaped.
    QVERIFY(json.contains("\"\xc3\x89T\xc3\x89\""));
    QVERIFY(json.contains("\"I\\u0001J\""));

    const QByteArray text = statisticsText(s, 11, 7);
    QVERIFY(text.startsWith("Map size: 11 x 7\nPlots with text: " + QByteArray::number(plain.filled)
                            + "\nLand plots: " + QByteArray::number(plain.land) + "\n\nTerrainType:\n"));
    QVERIFY(text.contains("\nPlotType:\n"));
    QVERIFY(text.contains("  \xc9T\xc9: "));
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
