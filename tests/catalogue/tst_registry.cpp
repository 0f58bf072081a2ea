// The game lookup against Wine prefixes written here: system.reg as Wine
// writes it, and the dosdevices mapping of the folder it names.

#include "GameLocation.h"
#include "WineRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

const QByteArray Header = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to \\\\Machine\n"
                          "\n"
                          "#arch=win64\n"
                          "\n";

const QByteArray DemoKey = "[Software\\\\Talvex Games\\\\Orwendel's Vorland 4 Demo] 1700000000\n"
                           "#time=1da2b3c4d5e6f70\n";
const QByteArray FullKey = "[Software\\\\Talvex Games\\\\Orwendel's Vorland 4] 1700000001\n"
                           "#time=1da2b3c4d5e6f71\n";
const QByteArray DemoKeyWow = "[Software\\\\Wow6432Node\\\\Talvex Games\\\\Orwendel's Vorland 4 Demo] 1700000000\n";
const QByteArray FullKeyWow = "[Software\\\\Wow6432Node\\\\Talvex Games\\\\Orwendel's Vorland 4] 1700000000\n";

// Other keys around the game's, as in a real prefix.
const QByteArray Noise = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
                         "#time=1d9f\n"
                         "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
                         "\"INSTALLDIR\"=\"C:\\\\Wrong\\\\\"\n"
                         "\n";

void writeSystemReg(const QString &prefix, const QByteArray &body)
{
    QVERIFY(QDir().mkpath(prefix));
    QFile f(prefix + "/system.reg");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Header + Noise + body);
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void locate_data();
    void locate();
    void missingPrefixOrFile();
    void systemLookupUsesWinePrefix();
    void hostPath();
};

void TestRegistry::locate_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("installDir"); // "<P>" stands for the prefix
    QTest::addColumn<QString>("error");

    const QString vor4 = QStringLiteral("<P>/dosdevices/c:/Games/Vor4/");

    QTest::newRow("demo key wins over the full game")
        << FullKey + "\"INSTALLDIR\"=\"C:\\\\Full\\\\\"\n\n" + DemoKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n\n"
        << vor4 << QString();
    QTest::newRow("demo key without value hides the full game")
        << DemoKey + "\"Version\"=\"1.2\"\n\n" + FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << QString() << QString();
    QTest::newRow("demo key holding only a subkey")
        << QByteArray("[Software\\\\Talvex Games\\\\Orwendel's Vorland 4 Demo\\\\Settings] 1700000000\n"
                      "\"INSTALLDIR\"=\"C:\\\\Sub\\\\\"\n\n")
               + FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << QString() << QString();
    QTest::newRow("a longer key name is another key")
        << QByteArray("[Software\\\\Talvex Games\\\\Orwendel's Vorland 4 Demolition] 1700000000\n"
                      "\"INSTALLDIR\"=\"C:\\\\Other\\\\\"\n\n")
               + FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << vor4 << QString();
    QTest::newRow("Wow6432Node")
        << DemoKeyWow + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n" << vor4 << QString();
    QTest::newRow("Wow6432Node demo before the plain full game")
        << FullKey + "\"INSTALLDIR\"=\"C:\\\\Full\\\\\"\n\n" + DemoKeyWow + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << vor4 << QString();
    QTest::newRow("plain key before its Wow6432Node twin")
        << FullKeyWow + "\"INSTALLDIR\"=\"C:\\\\Wow\\\\\"\n\n" + FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << vor4 << QString();
    QTest::newRow("key and value names in another case, CR LF lines")
        << QByteArray("[SOFTWARE\\\\talvex games\\\\ORWENDEL'S VORLAND 4] 1700000000\r\n"
                      "#time=1da\r\n\"InstallDir\"=\"C:\\\\Games\\\\Vor4\\\\\"\r\n")
        << vor4 << QString();
    QTest::newRow("without trailing separator")
        << FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\"\n" << QStringLiteral("<P>/dosdevices/c:/Games/Vor4")
        << QString();
    QTest::newRow("other drive, escapes")
        << FullKey + "\"INSTALLDIR\"=\"D:\\\\Jeux\\\\Caf\\xe9 \\\"4\\\"\\\\\"\n"
        << QStringLiteral("<P>/dosdevices/d:/Jeux/Caf\u00e9 \"4\"/") << QString();
    QTest::newRow("str(2) is not expanded")
        << FullKey + "\"INSTALLDIR\"=str(2):\"%ProgramFiles%\\\\Vor4\\\\\"\n"
        << QStringLiteral("%ProgramFiles%/Vor4/") << QString();
    QTest::newRow("text ends at the first NUL")
        << FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\\0C:\\\\Junk\"\n" << vor4 << QString();
    QTest::newRow("hex(2) is an expandable string")
        << FullKey + "\"Blob\"=hex:01,02,03,\\\n  04,05\n"
                     "\"INSTALLDIR\"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,\\\n"
                     "  56,00,6f,00,72,00,34,00,5c,00,00,00\n"
        << vor4 << QString();
    QTest::newRow("empty string")
        << FullKey + "\"INSTALLDIR\"=\"\"\n" << QString() << QString();
    QTest::newRow("no game keys") << QByteArray() << QString() << QString();

    const QString typeError = QStringLiteral("Invalid data type for 'INSTALLDIR'");
    QTest::newRow("dword") << FullKey + "\"INSTALLDIR\"=dword:00000001\n" << QString() << typeError;
    QTest::newRow("hex") << FullKey + "\"INSTALLDIR\"=hex:43,3a,5c,00\n" << QString() << typeError;
    QTest::newRow("hex over two lines")
        << FullKey + "\"INSTALLDIR\"=hex:43,3a,5c,\\\n  47,00\n" << QString() << typeError;
    QTest::newRow("type error in the demo key stops the lookup")
        << DemoKey + "\"INSTALLDIR\"=hex(4):01,00,00,00\n\n" + FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"
        << QString() << typeError;
}

void TestRegistry::locate()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, installDir);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString prefix = dir.path() + "/wine";
    writeSystemReg(prefix, body);

    const GameLocation found = LocateGame(WineRegistry(prefix));
    installDir.replace(QStringLiteral("<P>"), prefix);
    QCOMPARE(found.error, error);
    QCOMPARE(found.InstallDir, installDir);
    // Joined as they stand: a trailing separator gives a doubled one.
    QCOMPARE(found.MapsDir, installDir.isEmpty() ? QString() : installDir + "/PublicMaps");
}

void TestRegistry::missingPrefixOrFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &prefix : {dir.path() + "/absent", dir.path(), QString()}) {
        const WineRegistry registry(prefix);
        QVERIFY(!registry.openLocalMachineKey("SOFTWARE\\Talvex Games\\Orwendel's Vorland 4"));
        const GameLocation found = LocateGame(registry);
        QVERIFY(found.InstallDir.isEmpty());
        QVERIFY(found.MapsDir.isEmpty());
        QVERIFY(found.error.isEmpty());
    }
    // system.reg that is a folder, not a file
    QVERIFY(QDir().mkpath(dir.path() + "/p2/system.reg"));
    QVERIFY(LocateGame(WineRegistry(dir.path() + "/p2")).InstallDir.isEmpty());
}

void TestRegistry::systemLookupUsesWinePrefix()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows registry is used on Windows");
#else
    const QByteArray saved = qgetenv("WINEPREFIX");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeSystemReg(dir.path(), FullKey + "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n");
    qputenv("WINEPREFIX", dir.path().toLocal8Bit());
    QCOMPARE(WineRegistry::defaultPrefix(), dir.path());
    const GameLocation found = LocateGame();
    qunsetenv("WINEPREFIX");
    QCOMPARE(WineRegistry::defaultPrefix(), QDir::homePath() + "/.wine");
    if (!saved.isNull())
        qputenv("WINEPREFIX", saved);
    QCOMPARE(found.InstallDir, dir.path() + "/dosdevices/c:/Games/Vor4/");
    QCOMPARE(found.MapsDir, dir.path() + "/dosdevices/c:/Games/Vor4//PublicMaps");
#endif
}

void TestRegistry::hostPath()
{
    const WineRegistry wine("/pfx/");
    QCOMPARE(wine.toHostPath("z:\\home\\me\\Vor4"), QStringLiteral("/pfx/dosdevices/z:/home/me/Vor4"));
    QCOMPARE(wine.toHostPath("C:"), QStringLiteral("/pfx/dosdevices/c:/"));
    QCOMPARE(wine.toHostPath("\\\\server\\share\\Vor4"), QStringLiteral("/pfx/dosdevices/unc/server/share/Vor4"));
    // ".." stays on the drive, as it does on Windows.
    QCOMPARE(wine.toHostPath("C:\\..\\..\\etc\\"), QStringLiteral("/pfx/dosdevices/c:/etc/"));
    QCOMPARE(wine.toHostPath("C:\\Games\\.\\Old\\..\\Vor4"), QStringLiteral("/pfx/dosdevices/c:/Games/Vor4"));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
