// The lines a map already uses, offered as brush values: held against a
// plain reference on random plot texts with units, line ends and blanks,
// and on the fixtures.

#include "MapReader.h"
#include "PlotLineSet.h"
#include "PlotTable.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>
#include <algorithm>

using namespace vor4;

namespace {

// Line by line with QByteArray's own functions: every trimmed line with a
// key before its "=", outside Begin/End blocks.
QList<QByteArray> reference(const PlotTable &plots)
{
    QSet<QByteArray> lines;
    for (int r = 0; r < plots.rowCount(); ++r) {
        for (int c = 0; c < plots.columnCount(); ++c) {
            QByteArray text = plots.text(c, r);
            text.replace("\r\n", "\n").replace('\r', '\n');
            int depth = 0;
            for (const QByteArray &raw : text.split('\n')) {
                const QByteArray line = raw.trimmed();
                const qsizetype eq = line.indexOf('=');
                if (eq < 0 || line.left(eq).trimmed().isEmpty()) {
                    if (eq < 0 && line.toLower().startsWith("begin"))
                        ++depth;
                    else if (eq < 0 && line.toLower().startsWith("end") && depth > 0)
                        --depth;
                    continue;
                }
                if (depth == 0)
                    lines.insert(line);
            }
        }
    }
    QList<QByteArray> out(lines.cbegin(), lines.cend());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

class TestPlotLineSet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstReference();
};

void TestPlotLineSet::againstReference()
{
    static const char *const pieces[] = {"TerrainType=TERRAIN_GRASS", "  BonusType=BONUS_GOLD ", "\tPlotType=1",
                                         "FeatureType=F, FeatureVariety=1", "=orphan", "no equals", "",
                                         "\tBeginUnit", "\t\tUnitType=UNIT_SCOUT", "\tEndUnit", "endless=1",
                                         "Name=\xc4\xe9"};
    static const char *const breaks[] = {"\r\n", "\n", "\r"};
    QRandomGenerator rng(12);
    PlotTable plots;
    plots.resize(23, 17);
    for (int r = 0; r < 17; ++r) {
        for (int c = 0; c < 23; ++c) {
            QByteArray text;
            for (int n = rng.bounded(6); n > 0; --n)
                text += QByteArray(pieces[rng.bounded(int(std::size(pieces)))]) + breaks[rng.bounded(3)];
            plots.setText(c, r, text);
        }
    }
    plots.setText(4, 4, "TerrainType=TERRAIN_SNOW\r\n\tBeginUnit\r\n\t\tUnitType=UNIT_WARRIOR\r\n\tEndUnit\r\nBonusType=B");
    const QList<QByteArray> found = PlotLineSet::collect(plots);
    QCOMPARE(found, reference(plots));
    QVERIFY(found.contains("BonusType=BONUS_GOLD"));
    QVERIFY(found.contains("endless=1"));
    QVERIFY(found.contains("BonusType=B")); // after the unit's block
    QVERIFY(!found.contains("UnitType=UNIT_WARRIOR"));
    QVERIFY(!found.contains("=orphan"));
    QCOMPARE(PlotLineSet::collect(plots, 2).size(), 2);

    for (const char *name : {"continents-64x40", "island-15x15"}) {
        Document doc;
        QVERIFY(loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/%1.Vor4WorldBuilderSave").arg(name), doc).ok());
        QCOMPARE(PlotLineSet::collect(doc.PlotTexts), reference(doc.PlotTexts));
    }
}

QTEST_MAIN(TestPlotLineSet)
#include "tst_plotlineset.moc"
