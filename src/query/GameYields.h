#pragma once
// What the game's data files say a plot yields: food, production and
// commerce of its terrain (more on hills and along rivers), its feature and
// its bonus. Entries are found by their <Type>.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <array>

class QIODevice;

namespace vor4 {

class GameYields
{
public:
    using Yield = std::array<int, 3>; // food, production, commerce

    // The folder holding VOR4TerrainInfos.xml, VOR4FeatureInfos.xml and
    // VOR4BonusInfos.xml. False, with *error naming the file, when one
    // cannot be read or is not well-formed XML.
    bool load(const QString &folder, QString *error);
    // One data file's entries: each element with a <Type> child, and the
    // yield lists among its children.
    bool read(QIODevice &file, QString *error);

    // A plot's yield: nothing on a peak, never below 0 in any figure.
    Yield plotYield(QByteArrayView terrain, QByteArrayView feature, QByteArrayView bonus, bool peak, bool hills,
                    bool river) const;

private:
    struct Entry
    {
        Yield yields{}, hills{}, river{}, changes{};
    };
    QHash<QByteArray, Entry> m_entries;
};

} // namespace vor4
