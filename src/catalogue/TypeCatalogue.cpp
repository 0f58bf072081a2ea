#include "TypeCatalogue.h"

#include "GameLocation.h"
#include "TextUtil.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace vor4 {

namespace {

QByteArray removeAllCi(QByteArrayView s, QByteArrayView tag)
{
    QByteArray out;
    out.reserve(s.size());
    qsizetype from = 0;
    for (qsizetype at = indexOfCi(s, tag); at >= 0; at = indexOfCi(s, tag, from)) {
        out.append(s.sliced(from, at - from));
        from = at + tag.size();
    }
    out.append(s.sliced(from));
    return out;
}

std::optional<QByteArray> readWholeFile(const QString &path)
{
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

TypeCatalogue::TypeCatalogue(const QString &installDir)
    : KeyPrefixes{QStringLiteral("TerrainType="), QStringLiteral("BonusType="), QStringLiteral("FeatureType="),
                  QStringLiteral("ImprovementType="), QStringLiteral("PlotType=")}
    , m_installDir(installDir)
{
}

void TypeCatalogue::setInstallDir(const QString &dir)
{
    if (dir == m_installDir)
        return;
    m_installDir = dir;
    for (QStringList &list : CatalogueLists)
        list.clear();
}

QString TypeCatalogue::tabCaption(int tab)
{
    static const char *const Captions[TabCount] = {"Terrains", "Bonus", "Features", "Improvements", "PlotType"};
    return tab >= 0 && tab < TabCount ? QString::fromLatin1(Captions[tab]) : QString();
}

QString TypeCatalogue::dataFileName(int tab)
{
    static const char *const Files[DataTabCount] = {"VOR4TerrainInfos.xml", "VOR4BonusInfos.xml",
                                                    "VOR4FeatureInfos.xml", "VOR4ImprovementInfos.xml"};
    return tab >= 0 && tab < DataTabCount ? QString::fromLatin1(Files[tab]) : QString();
}

QString TypeCatalogue::itemSuffix(int tab)
{
    return tab == 2 ? QStringLiteral(", FeatureVariety=") : QString();
}

QStringList TypeCatalogue::plotTypeLines()
{
    return {QStringLiteral("PlotType=0       <Mountain>"), QStringLiteral("PlotType=1       <Hill>"),
            QStringLiteral("PlotType=2       <Plain>"), QStringLiteral("PlotType=3       <Ocean>")};
}

QStringList TypeCatalogue::commonLines(int tab)
{
    static const char *const Terrains[] = {"GRASS", "PLAINS", "DESERT", "TUNDRA", "SNOW", "COAST", "OCEAN"};
    static const char *const Features[] = {"FOREST", "JUNGLE", "ICE", "OASIS", "FLOOD_PLAINS"};
    QStringList lines;
    if (tab == 0)
        for (const char *name : Terrains)
            lines << QStringLiteral("TerrainType=TERRAIN_") + QLatin1String(name);
    if (tab == 2)
        for (const char *name : Features)
            lines << QStringLiteral("FeatureType=FEATURE_") + QLatin1String(name) + QStringLiteral(", FeatureVariety=0");
    return lines;
}

QString TypeCatalogue::dataFilePath(int tab) const
{
    const QString file = dataFileName(tab);
    if (file.isEmpty())
        return QString();
    return m_installDir + PathSep + QStringLiteral("Assets") + PathSep + QStringLiteral("XML") + PathSep
        + QStringLiteral("Terrain") + PathSep + file;
}

QString TypeCatalogue::itemCountText(qsizetype n)
{
    return n > 0 ? QStringLiteral(" %1 items found").arg(n) : QStringLiteral(" No items found");
}

QStringList TypeCatalogue::itemsFromText(QByteArrayView text, const QString &prefix, const QString &suffix)
{
    QStringList items;
    const QByteArrayView open("<Type>");
    const QByteArrayView close("</Type>");
    forEachLine(text, [&](QByteArrayView line) {
        if (!containsCi(line, open))
            return;
        const QByteArray rest = removeAllCi(removeAllCi(line, open), close);
        // One character per byte, as the memos hold plot texts: the bytes of
        // the data file reach the plot unchanged, whatever their encoding.
        items << prefix + QString::fromLatin1(trimmed(rest)) + suffix;
    });
    return items;
}

TypeCatalogue::Build TypeCatalogue::build(int tab)
{
    Build result;
    if (tab == PlotTypeTab) {
        result.items = plotTypeLines();
    } else if (tab >= 0 && tab < DataTabCount) {
        QStringList &slot = CatalogueLists[tab];
        if (!slot.isEmpty()) {
            result.items = slot;
        } else {
            const QString path = dataFilePath(tab);
            std::optional<QByteArray> bytes;
            // Without an installation the path would start at the file-system
            // root and could name some unrelated file: nothing is read then.
            if (!m_installDir.isEmpty()) {
                ++m_fileReads;
                bytes = readWholeFile(path);
            }
            if (!bytes) {
                result.unreadable = true;
                result.items = QStringList{QStringLiteral("Cannot open file : ") + path};
            } else {
                QByteArrayView text = *bytes;
                if (text.startsWith("\xEF\xBB\xBF"))
                    text = text.sliced(3);
                result.items = itemsFromText(text, KeyPrefixes[tab], itemSuffix(tab));
                slot = result.items;
            }
        }
    }
    const qsizetype n = tab == PlotTypeTab ? result.items.size()
                      : (tab >= 0 && tab < DataTabCount) ? CatalogueLists[tab].size() : 0;
    result.statusText = itemCountText(n);
    result.changeEnabled = n > 0;
    return result;
}

} // namespace vor4
