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
    void buildEveryTab();
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
    QCOMPARE(TypeCatalogue::itemsFromText("<Type>NEIGE_\xc3\xa9T\xc3\xa9</Type>\n<Type>\xe9t\xe9</Type>", "", ""),
             (QStringList{QStringLiteral("NEIGE_\u00e9T\u00e9"), QStringLiteral("\u00e9t\u00e9")}));
    QVERIFY(TypeCatalogue::itemsFromText("<Types>\n</Types>\n", "BonusType=", "").isEmpty());

    QCOMPARE(TypeCatalogue::itemCountText(4), QStringLiteral(" 4 items found"));
    QCOMPARE(TypeCatalogue::itemCountText(123), QStringLiteral(" 123 items found"));
    QCOMPARE(TypeCatalogue::itemCountText(0), QStringLiteral(" No items found"));
}

void TestTypeCatalogue::buildEveryTab()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path() + "/Vor4";
    QVERIFY(writeData(root, "VOR4TerrainInfos.xml", "\xEF\xBB\xBF<Type>TERRAIN_GRASS</Type>\n<Type>TERRAIN_SNOW</Type>\n"));
    QVERIFY(writeData(root, "VOR4BonusInfos.xml", "<Type>BONUS_IRON</Type>\n"));
    QVERIFY(writeData(root, "VOR4FeatureInfos.xml", "<Type>FEATURE_ICE</Type>\r\n<Type>FEATURE_JUNGLE</Type>\r\n"));
    QVERIFY(writeData(root, "VOR4ImprovementInfos.xml", "<Infos>\n<Name>none</Name>\n</Infos>\n"));

    TypeCatalogue cat(root);
    QCOMPARE(cat.KeyPrefixes[0], QStringLiteral("TerrainType="));
    QCOMPARE(cat.KeyPrefixes[4], QStringLiteral("PlotType="));
    QCOMPARE(cat.dataFilePath(1), root + "/Assets/XML/Terrain/VOR4BonusInfos.xml");

    TypeCatalogue::Build b = cat.build(0);
    QCOMPARE(b.items, (QStringList{"TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_SNOW"}));
    QCOMPARE(b.statusText, QStringLiteral(" 2 items found"));
    QVERIFY(b.changeEnabled);

    b = cat.build(1);
    QCOMPARE(b.items, QStringList{"BonusType=BONUS_IRON"});
    QCOMPARE(b.statusText, QStringLiteral(" 1 items found"));

    b = cat.build(2);
    QCOMPARE(b.items, (QStringList{"FeatureType=FEATURE_ICE, FeatureVariety=",
                                   "FeatureType=FEATURE_JUNGLE, FeatureVariety="}));

    // A file without "<Type>": nothing to list, nothing kept.
    b = cat.build(3);
    QVERIFY(b.items.isEmpty());
    QCOMPARE(b.statusText, QStringLiteral(" No items found"));
    QVERIFY(!b.changeEnabled);
    QVERIFY(cat.CatalogueLists[3].isEmpty());

    const int reads = cat.fileReads();
    b = cat.build(4);
    QCOMPARE(b.items, (QStringList{"PlotType=0       <Mountain>", "PlotType=1       <Hill>",
                                   "PlotType=2       <Plain>", "PlotType=3       <Ocean>"}));
    QCOMPARE(b.statusText, QStringLiteral(" 4 items found"));
    QVERIFY(b.changeEnabled);
    QCOMPARE(cat.fileReads(), reads);

    // A trailing separator on the folder is kept: the path has it doubled.
    TypeCatalogue trailing(root + "/");
    QCOMPARE(trailing.dataFilePath(0), root + "//Assets/XML/Terrain/VOR4TerrainInfos.xml");
    QCOMPARE(trailing.build(0).items.size(), 2);
}

void TestTypeCatalogue::builtListIsReused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeData(dir.path(), "VOR4BonusInfos.xml", "<Type>BONUS_GOLD</Type>\n<Type>BONUS_FISH</Type>\n"));
    TypeCatalogue cat(dir.path());
    const QStringList first = cat.build(1).items;
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

    // Empty data: tried again next time as well.
    QVERIFY(writeData(dir.path(), "VOR4FeatureInfos.xml", ""));
    b = cat.build(2);
    QCOMPARE(b.items, QStringList());
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
    QCOMPARE(cat.build(4).items.size(), 4);
    QCOMPARE(cat.build(7).items, QStringList());
}

QTEST_GUILESS_MAIN(TestTypeCatalogue)
#include "tst_typecatalogue.moc"
