// Building the item lists from small data files written here.

#include "TypeCatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

// The installation's data folder below root, as the catalogue joins it.
QString dataDir(const QString &installDir)
{
    return installDir + "/Assets/XML/Terrain";
}

bool writeData(const QString &installDir, const QString &file, const QByteArray &bytes)
{
    if (!QDir().mkpath(dataDir(installDir)))
        return false;
    QFile f(dataDir(installDir) + "/" + file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestTypeCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void itemRule();
    void builtListIsReused();
    void unreadableFileIsRetried();
    void noInstallation();
};

void TestTypeCatalogue::itemRule()
{
    const QByteArray xml =
        "<?xml version=\"1.0\"?>\r\n"
        "<Vor4TerrainInfos>\r\n"
        "\t<TerrainInfo>\r\n"
        "\t\t<Type>TERRAIN_GRASS</Type>\r\n"
        "\t\t<Description>TXT_KEY_TERRAIN_GRASS</Description>\r\n"
        "\t</TerrainInfo>\n"
        "    <TYPE>terrain_plains</type>  \r"     // other letter case, lone CR
        "<Type>A</Type><Type>B</Type>\n"          // two elements on one line
        "  <Type>TERRAIN_SPLIT\n"                 // closing tag on the next line
        "  </Type>\n"
        "<Type>TERRAIN_GRASS</Type>\n"            // duplicates stay
        "<TypeName>X</TypeName>\n"                // not the tag
        "<Type>\x01TERRAIN_CTRL\x7f</Type>\n"     // control characters trimmed (not DEL)
        "<Type></Type>";                          // no final line break
    const QStringList items = TypeCatalogue::itemsFromText(xml, "TerrainType=", QString());
    QCOMPARE(items, (QStringList{"TerrainType=TERRAIN_GRASS", "TerrainType=terrain_plains", "TerrainType=AB",
                                 "TerrainType=TERRAIN_SPLIT", "TerrainType=TERRAIN_GRASS",
                                 "TerrainType=TERRAIN_CTRL\x7f", "TerrainType="}));

    QCOMPARE(TypeCatalogue::itemsFromText("<Type>FEATURE_FOREST</Type>", "FeatureType=", ", FeatureVariety="),
             QStringList{"FeatureType=FEATURE_FOREST, FeatureVariety="});
    // One character per byte, whatever the encoding: UTF-8 and Latin-1 names
    // come back out as the very bytes of the file.
    const QByteArray names[] = {"NEIGE_\xc3\xa9T\xc3\xa9", "\xe9t\xe9", "TERRAIN_\xe2\x82\xac", "A\xa0" "B"};
    for (const QByteArray &name : names) {
        const QStringList one = TypeCatalogue::itemsFromText("<Type>" + name + "</Type>", "TerrainType=", "");
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].toLatin1(), "TerrainType=" + name);
        QCOMPARE(QString::fromLatin1(one[0].toLatin1()), one[0]);
    }
    QVERIFY(TypeCatalogue::itemsFromText("<Types>\n</Types>\n", "BonusType=", "").isEmpty());

    QCOMPARE(TypeCatalogue::itemCountText(4), QStringLiteral(" 4 items found"));
    QCOMPARE(TypeCatalogue::itemCountText(123), QStringLiteral(" 123 items found"));
    QCOMPARE(TypeCatalogue::itemCountText(0), QStringLiteral(" No items found"));
}

void TestTypeCatalogue::builtListIsReused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeData(dir.path(), "VOR4BonusInfos.xml", "<Type>BONUS_GOLD</Type>\n<Type>BONUS_FISH</Type>\n"));
    // A trailing separator on the folder is kept: the path has it doubled.
    TypeCatalogue cat(dir.path() + "/");
    QCOMPARE(cat.dataFilePath(1), dir.path() + "//Assets/XML/Terrain/VOR4BonusInfos.xml");
    const QStringList first = cat.build(1).items;
    QCOMPARE(first, (QStringList{"BonusType=BONUS_GOLD", "BonusType=BONUS_FISH"}));
    QCOMPARE(cat.fileReads(), 1);
    QCOMPARE(cat.CatalogueLists[1], first);

    // Changing the file or taking it away no longer matters.
    QVERIFY(QFile::remove(dataDir(dir.path()) + "/VOR4BonusInfos.xml"));
    cat.build(0);
    const TypeCatalogue::Build again = cat.build(1);
    QCOMPARE(again.items, first);
    QCOMPARE(again.statusText, QStringLiteral(" 2 items found"));
    QCOMPARE(cat.fileReads(), 2); // the terrain tab's attempt only

    // Another installation folder starts afresh.
    cat.setInstallDir(dir.path() + "/elsewhere");
    QVERIFY(cat.CatalogueLists[1].isEmpty());
    QCOMPARE(cat.build(1).items.size(), 1);
}

void TestTypeCatalogue::unreadableFileIsRetried()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TypeCatalogue cat(dir.path());
    const QString path = dir.path() + "/Assets/XML/Terrain/VOR4FeatureInfos.xml";

    TypeCatalogue::Build b = cat.build(2);
    QCOMPARE(b.items, QStringList{"Cannot open file : " + path});
    QCOMPARE(b.statusText, QStringLiteral(" No items found"));
    QVERIFY(!b.changeEnabled);
    QVERIFY(b.unreadable);
    QVERIFY(cat.CatalogueLists[2].isEmpty());

    // A folder where the file should be cannot be read either.
    QVERIFY(QDir().mkpath(path));
    QCOMPARE(cat.build(2).items, QStringList{"Cannot open file : " + path});
    QVERIFY(QDir().rmdir(path));

    // No "<Type>" line: no items, and tried again next time as well.
    QVERIFY(writeData(dir.path(), "VOR4FeatureInfos.xml", "<Infos>\n  <Name>FEATURE_X</Name>\n</Infos>\n"));
    b = cat.build(2);
    QCOMPARE(b.items, QStringList());
    QCOMPARE(b.statusText, QStringLiteral(" No items found"));
    QVERIFY(!b.changeEnabled);
    QVERIFY(!b.unreadable);

    QVERIFY(writeData(dir.path(), "VOR4FeatureInfos.xml", "<type>FEATURE_OASIS</TYPE>\n"));
    const int reads = cat.fileReads();
    b = cat.build(2);
    QCOMPARE(cat.fileReads(), reads + 1);
    QCOMPARE(b.items, QStringList{"FeatureType=FEATURE_OASIS, FeatureVariety="});
    QVERIFY(b.changeEnabled);
}

void TestTypeCatalogue::noInstallation()
{
    TypeCatalogue cat;
    for (int tab = 0; tab < 4; ++tab) {
        const TypeCatalogue::Build b = cat.build(tab);
        QCOMPARE(b.items, QStringList{"Cannot open file : /Assets/XML/Terrain/" + TypeCatalogue::dataFileName(tab)});
        QVERIFY(!b.changeEnabled);
    }
    // Nothing is looked for at the file-system root.
    QCOMPARE(cat.fileReads(), 0);
    const TypeCatalogue::Build plot = cat.build(4);
    QCOMPARE(plot.items.value(2), QStringLiteral("PlotType=2       <Plain>"));
    QCOMPARE(plot.statusText, QStringLiteral(" 4 items found"));
    QVERIFY(plot.changeEnabled);
    QCOMPARE(cat.build(7).items, QStringList());
}

QTEST_GUILESS_MAIN(TestTypeCatalogue)
#include "tst_typecatalogue.moc"
