// vor4map locate and vor4map catalogue, run as a process against a Wine
// prefix laid out here the way Wine lays it out.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run vor4map(const QString &prefix, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", prefix);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VOR4MAP_PATH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray systemReg(const QByteArray &value)
{
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
           "[Software\\\\Talvex Games\\\\Orwendel's Vorland 4] 1700000000\n#time=1da\n"
           "\"INSTALLDIR\"="
        + value + "\n";
}

} // namespace

class TestCatalogueCmd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void locate();
    void catalogue();
    void withoutGame();
    void wrongCalls();

private:
    QTemporaryDir dir;
    QString prefix;
    QString dataDir; // as the tool names it, through dosdevices
};

void TestCatalogueCmd::initTestCase()
{
    QVERIFY(dir.isValid());
    prefix = dir.path() + "/wine";
    QVERIFY(writeFile(prefix + "/system.reg", systemReg("\"C:\\\\Games\\\\Vor4\"")));
    // dosdevices/c: is a link to the drive's folder, as Wine makes it.
    QVERIFY(QDir().mkpath(prefix + "/dosdevices"));
    QVERIFY(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
    const QString terrain = prefix + "/drive_c/Games/Vor4/Assets/XML/Terrain/";
    QVERIFY(writeFile(terrain + "VOR4TerrainInfos.xml",
                      "<Infos>\r\n\t<Info>\r\n\t\t<Type>TERRAIN_GRASS</Type>\r\n\t</Info>\r\n"
                      "\t\t<type>TERRAIN_SNOW</TYPE>\r\n</Infos>\r\n"));
    QVERIFY(writeFile(terrain + "VOR4BonusInfos.xml", "<Type>BONUS_IRON</Type>\n"));
    QVERIFY(writeFile(terrain + "VOR4FeatureInfos.xml", "<Type>FEATURE_ICE</Type>\n<Type>FEATURE_FOREST</Type>\n"));
    QVERIFY(writeFile(terrain + "VOR4ImprovementInfos.xml", "<Infos></Infos>\n"));
    dataDir = prefix + "/dosdevices/c:/Games/Vor4/Assets/XML/Terrain/";
}

void TestCatalogueCmd::locate()
{
    Run r = vor4map(prefix, {"locate"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, ("InstallDir=" + prefix + "/dosdevices/c:/Games/Vor4\nMapsDir=" + prefix
                     + "/dosdevices/c:/Games/Vor4/PublicMaps\n")
                        .toUtf8());
    QVERIFY(r.err.isEmpty());

    QTemporaryDir other;
    QVERIFY(other.isValid());
    QVERIFY(writeFile(other.path() + "/system.reg", systemReg("dword:00000001")));
    r = vor4map(other.path(), {"locate"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QByteArray("Invalid data type for 'INSTALLDIR'\n"));
    QVERIFY(r.out.isEmpty());

    // The error is reported, then the editor goes on without the game.
    r = vor4map(other.path(), {"catalogue", "plottype"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.err.startsWith("Invalid data type for 'INSTALLDIR'\n"));
    QCOMPARE(r.out.count('\n'), 4);
}

void TestCatalogueCmd::catalogue()
{
    Run r = vor4map(prefix, {"catalogue", "terrain"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("TerrainType=TERRAIN_GRASS\nTerrainType=TERRAIN_SNOW\n"));
    QVERIFY(r.err.isEmpty());

    r = vor4map(prefix, {"catalogue", "bonus"});
    QCOMPARE(r.out, QByteArray("BonusType=BONUS_IRON\n"));
    r = vor4map(prefix, {"catalogue", "feature"});
    QCOMPARE(r.out, QByteArray("FeatureType=FEATURE_ICE, FeatureVariety=\nFeatureType=FEATURE_FOREST, FeatureVariety=\n"));
    r = vor4map(prefix, {"catalogue", "improvement"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray());
    r = vor4map(prefix, {"catalogue", "plottype"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("PlotType=0       <Mountain>\nPlotType=1       <Hill>\n"
                               "PlotType=2       <Plain>\nPlotType=3       <Ocean>\n"));

    QVERIFY(QFile::rename(dataDir + "VOR4BonusInfos.xml", dataDir + "bonus.bak"));
    r = vor4map(prefix, {"catalogue", "bonus"});
    QVERIFY(QFile::rename(dataDir + "bonus.bak", dataDir + "VOR4BonusInfos.xml"));
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, ("Cannot open file : " + dataDir + "VOR4BonusInfos.xml\n").toUtf8());
    QVERIFY(r.out.isEmpty());
}

void TestCatalogueCmd::withoutGame()
{
    const QString none = dir.path() + "/no-prefix";
    for (const QStringList &args : {QStringList{"locate"}, QStringList{"catalogue", "terrain"},
                                    QStringList{"catalogue", "bonus"}, QStringList{"catalogue", "feature"},
                                    QStringList{"catalogue", "improvement"}}) {
        const Run r = vor4map(none, args);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, QByteArray("The game was not found\n"));
        QVERIFY(r.out.isEmpty());
    }
    const Run r = vor4map(none, {"catalogue", "plottype"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.count('\n'), 4);
}

void TestCatalogueCmd::wrongCalls()
{
    for (const QStringList &wrong : {QStringList{"catalogue"}, QStringList{"catalogue", "units"},
                                     QStringList{"locate", "x"}}) {
        const Run r = vor4map(prefix, wrong);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith("Usage: vor4map"));
        QVERIFY(r.err.contains("vor4map catalogue terrain|bonus|feature|improvement|plottype"));
    }
    const Run help = vor4map(prefix, {"--help"});
    QVERIFY(help.out.contains("  locate "));
    QVERIFY(help.out.contains("  catalogue KIND "));
}

QTEST_GUILESS_MAIN(TestCatalogueCmd)
#include "tst_catalogue_cmd.moc"
