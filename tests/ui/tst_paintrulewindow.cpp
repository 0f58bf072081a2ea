// The paint rule against the map contents window itself: the same plot
// texts through the real window's Change and Clear (memo, list, buttons)
// and through PaintRule's byte functions give the same bytes.

#include "MapContentsHost.h"
#include "PaintRule.h"
#include "SectionMemo.h"
#include "SideTabBar.h"
#include "MapContentsWindow.h"

#include <QDir>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace vor4;

namespace {

// The main window's part: the plot memo as bytes, and Apply taking them.
class BytesHost : public QWidget, public MapContentsHost
{
public:
    BytesHost() : memo(new SectionMemo(this)) {}
    bool isMapPageActive() const override { return true; }
    SectionMemo *plotMemo() const override { return memo; }
    void setRecallText(const QString &) override {}
    bool applyPlotMemo(const QString &) override
    {
        QByteArray bytes;
        if (!memo->bytes(&bytes))
            return false;
        applied << bytes;
        return true;
    }
    void setMapContentsButtonDown(bool) override {}

    SectionMemo *memo;
    QList<QByteArray> applied;
};

bool writeData(const QString &installDir, const char *file, const QByteArray &bytes)
{
    const QString folder = installDir + "/Assets/XML/Terrain";
    QFile f(folder + "/" + file);
    return QDir().mkpath(folder) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QList<QByteArray> sampleTexts()
{
    QList<QByteArray> texts{
        "",
        "\r\n",
        "\n\n",
        "\r",
        "TerrainType=TERRAIN_GRASS",
        "PlotType=2\r\nTerrainType=TERRAIN_GRASS\r\nBonusType=BONUS_IRON",
        "terraintype=x\nbonustype=bonus_iron\n",
        "OldBonusType=7\rBonusType=A\r\nBonusType=B",
        "FeatureType=FEATURE_FOREST, FeatureVariety=2\r\n\r\n\tBeginUnit\r\n\t\tUnitType=U\r\n\tEndUnit\r\n",
        "MyImprovementTypeNote=1\r\nImprovementType=IMPROVEMENT_FARM\r\nImprovementType=X",
        "  PlotType=0  \r\nName=Caf\xe9 \xfc\xdf\r\n",
    };
    // Random texts from the same pieces, with every kind of line end.
    static const char *const pieces[] = {"TerrainType=TERRAIN_GRASS", "bonustype=BONUS_GOLD", "PlotType=1",
                                         "FeatureType=F, FeatureVariety=1", "ImprovementType=I", "\tBeginUnit",
                                         "\tEndUnit", "", "  ", "Name=\xc4\xe9"};
    static const char *const breaks[] = {"\r\n", "\n", "\r"};
    QRandomGenerator rng(21);
    for (int i = 0; i < 60; ++i) {
        QByteArray text;
        for (int n = rng.bounded(6); n > 0; --n) {
            text += pieces[rng.bounded(int(std::size(pieces)))];
            if (n > 1 || rng.bounded(3) == 0)
                text += breaks[rng.bounded(3)];
        }
        texts << text;
    }
    return texts;
}

} // namespace

class TestPaintRuleWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void changeAndClearGiveTheRulesBytes();

private:
    QTemporaryDir dir;
};

void TestPaintRuleWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(writeData(dir.path(), "VOR4TerrainInfos.xml", "<Type>TERRAIN_PLAINS</Type>\n"));
    QVERIFY(writeData(dir.path(), "VOR4BonusInfos.xml", "<Type>BONUS_GOLD</Type>\n"));
    QVERIFY(writeData(dir.path(), "VOR4FeatureInfos.xml", "<Type>FEATURE_ICE</Type>\n"));
    QVERIFY(writeData(dir.path(), "VOR4ImprovementInfos.xml", "<Type>IMPROVEMENT_MINE</Type>\n"));
}

void TestPaintRuleWindow::changeAndClearGiveTheRulesBytes()
{
    BytesHost host;
    MapContentsWindow form(&host);
    form.setInstallDir(dir.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    static const char *const keys[] = {"TerrainType", "BonusType", "FeatureType", "ImprovementType", "PlotType"};
    const QList<QByteArray> texts = sampleTexts();
    for (int tab = 0; tab < 5; ++tab) {
        form.keyTabs()->setCurrentIndex(tab);
        QListWidgetItem *item = form.valueList()->item(0);
        QVERIFY(item);
        const QByteArray listed = item->text().toLatin1();
        // "PlotType=0       <Mountain>" puts PlotType=0.
        const qsizetype label = listed.indexOf("   <");
        const QByteArray line = PaintRule::fromLine(label < 0 ? listed : listed.left(label)).line();
        QVERIFY(!line.isEmpty());
        for (const QByteArray &text : texts) {
            host.applied.clear();
            host.memo->setBytes(text);
            QTest::mouseClick(form.valueList()->viewport(), Qt::LeftButton, {},
                              form.valueList()->visualItemRect(item).center());
            QTest::mouseClick(form.changeButton(), Qt::LeftButton);
            host.memo->setBytes(text);
            QTest::mouseClick(form.clearButton(), Qt::LeftButton);
            QCOMPARE(host.applied.size(), 2);
            QCOMPARE(host.applied[0], PaintRule::putLine(text, keys[tab], line));
            bool found = false;
            QCOMPARE(host.applied[1], PaintRule::takeKey(text, keys[tab], &found));
            QCOMPARE(form.panelText(0), QString::fromLatin1(keys[tab]) + (found ? " cleared" : " not found"));
        }
    }
}

QTEST_MAIN(TestPaintRuleWindow)
#include "tst_paintrulewindow.moc"
