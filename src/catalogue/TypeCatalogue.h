#pragma once
// The item lists of the map contents window's tabs: key lines of a plot
// text built from the game's data files, plus the fixed plot-type list.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>

namespace vor4 {

class TypeCatalogue
{
public:
    static constexpr int TabCount = 5;     // Terrains, Bonus, Features, Improvements, PlotType
    static constexpr int DataTabCount = 4; // tabs read from a data file
    static constexpr int PlotTypeTab = 4;

    struct Build
    {
        QStringList items;      // what the map contents list shows
        QString statusText;     // status panel 1: " N items found" / " No items found"
        bool changeEnabled = false;
        bool unreadable = false; // the data file could not be read
    };

    explicit TypeCatalogue(const QString &installDir = QString());

    // Built lists belong to one installation: a new folder drops them.
    void setInstallDir(const QString &dir);
    QString installDir() const { return m_installDir; }

    // Index = tab: "TerrainType=", "BonusType=", "FeatureType=", "ImprovementType=", "PlotType=".
    const std::array<QString, TabCount> KeyPrefixes;
    // Built list per data tab; an empty list means not built.
    std::array<QStringList, DataTabCount> CatalogueLists;

    static QString tabCaption(int tab);
    static QString dataFileName(int tab); // empty for the plot-type tab
    static QString itemSuffix(int tab);   // ", FeatureVariety=" on the features tab
    static QStringList plotTypeLines();   // "PlotType=0       <Mountain>" ...
    // The common lines of a data tab, for painting without the game: the
    // terrains and the features; none for the other tabs.
    static QStringList commonLines(int tab);
    // InstallDir, the Assets\XML\Terrain folder and the file name, as they stand.
    QString dataFilePath(int tab) const;
    static QString itemCountText(qsizetype n);
    // One item per line holding "<Type>": the tags removed, the rest trimmed,
    // between prefix and suffix, one character per byte (Latin-1). The text
    // is not parsed as XML.
    static QStringList itemsFromText(QByteArrayView text, const QString &prefix, const QString &suffix);

    // A tab's list as the map contents window shows it: a built list is
    // reused, otherwise the tab's data file is read (again, if it failed or
    // gave nothing before).
    Build build(int tab);

    // Data files opened so far; a reused list opens none.
    int fileReads() const { return m_fileReads; }

private:
    QString m_installDir;
    int m_fileReads = 0;
};

} // namespace vor4
