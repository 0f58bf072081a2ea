#include "MapReader.h"
#include "MapWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run vor4map(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VOR4MAP_PATH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QString continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

} // namespace

class TestVor4map : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpVersionUsage();
    void check();
    void normalize();
    void loadErrors();
};

void TestVor4map::helpVersionUsage()
{
    Run r = vor4map({"--help"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("normalize IN OUT"));
    r = vor4map({"--version"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("vor4map " VOR4_VERSION "\n"));
    for (const QStringList &wrong : {QStringList{}, QStringList{"check"}, QStringList{"frob", "x"},
                                     QStringList{"normalize", "a"}}) {
        r = vor4map(wrong);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith("Usage: vor4map"));
    }
}

void TestVor4map::check()
{
    if (!QFile::exists(continents))
        QSKIP("fixtures not present");
    const Run r = vor4map({"check", continents});
    QCOMPARE(r.code, 0);
    Document doc;
    QVERIFY(loadMapFile(continents, doc).ok());
    QCOMPARE(r.out, QByteArray("Map size: 64 x 40\nTeam slots filled: 18\nPlayer slots filled: 18\n"
                               "Plots with text: ")
                        + QByteArray::number(doc.PlotTexts.filledCount()) + "\n");
}

void TestVor4map::normalize()
{
    if (!QFile::exists(continents))
        QSKIP("fixtures not present");
    QTemporaryDir dir;
    const QString out = dir.filePath("out.Vor4WorldBuilderSave");
    Run r = vor4map({"normalize", continents, out});
    QCOMPARE(r.code, 0);
    Document doc;
    QVERIFY(loadMapFile(continents, doc).ok());
    QCOMPARE(readAll(out), buildSaveFile(doc));

    // In place: the same file is read whole before it is replaced.
    const QString copy = dir.filePath("copy.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(continents, copy));
    r = vor4map({"normalize", copy, copy});
    QCOMPARE(r.code, 0);
    QCOMPARE(readAll(copy), readAll(out));

    r = vor4map({"normalize", continents, dir.filePath("no/such/folder/x")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, ("Cannot create file " + dir.filePath("no/such/folder/x") + "\n").toUtf8());
}

void TestVor4map::loadErrors()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.Vor4WorldBuilderSave");
    writeFile(bad, "Version=11\r\nBeginGame\r\n\r\nEndMap\r\n");
    const QString out = dir.filePath("out.Vor4WorldBuilderSave");
    writeFile(out, "untouched");

    Run r = vor4map({"check", bad});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QByteArray("Error in map file - Line: 4\n"));
    r = vor4map({"normalize", bad, out});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QByteArray("Error in map file - Line: 4\n"));
    QCOMPARE(readAll(out), QByteArray("untouched"));

    writeFile(bad, "BeginMap\r\ngrid width=ten\r\n");
    r = vor4map({"check", bad});
    QCOMPARE(r.err, QByteArray("'ten' is not a valid integer value\n"));

    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    r = vor4map({"check", missing});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, ("Cannot open file " + missing + "\n").toUtf8());
    r = vor4map({"normalize", "relative/missing", out});
    QCOMPARE(r.err, QByteArray("Cannot open file relative/missing\n"));
    QCOMPARE(readAll(out), QByteArray("untouched"));
}

QTEST_GUILESS_MAIN(TestVor4map)
#include "tst_vor4map.moc"
