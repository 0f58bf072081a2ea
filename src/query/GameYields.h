#pragma once
// What a plot yields at the start of a game: food, production and commerce
// of its terrain, changed by its relief (hills, a lake), its feature, a
// river along it and its resource. Read from the game's data files, whose
// entries are found by their <Type>; a new table holds the standard values
// of the game as shipped.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <array>

class QIODevice;

namespace vor4 {

class GameYields
{
public:
    using Yield = std::array<int, 3>; // food, production, commerce

    // The files load() reads, in that order.
    static const QStringList &dataFiles();

    // The standard values: the game's yields as shipped.
    GameYields();

    // Reads VOR4TerrainInfos.xml, VOR4FeatureInfos.xml, VOR4BonusInfos.xml
    // and VOR4YieldInfos.xml of a folder. False, with *error naming the file,
    // when one cannot be read or is not well-formed XML; the table is then
    // left as it was.
    bool load(const QString &folder, QString *error);
    // Where the values come from: the folder loaded, empty for the standard ones.
    const QString &folder() const { return m_folder; }

    // A plot's yield. A peak is unworkable and yields nothing; a river
    // changes a land plot only; no figure goes below 0.
    enum Relief { Flat, Hills, Peak, Water };
    Yield plotYield(QByteArrayView terrain, QByteArrayView feature, QByteArrayView bonus, Relief relief, bool river,
                    bool lake) const;
    // A resource that needs a technology before it is seen: it yields
    // nothing at the start of a game.
    bool isHidden(QByteArrayView bonus) const;
    // A resource seen from the start that adds food.
    bool isFood(QByteArrayView bonus) const;

private:
    struct Entry
    {
        QByteArray type;
        Yield yields{}, hills{}, river{}, changes{};
        bool hidden = false;
        // A yield's own entry: its change on hills and on a lake (a peak
        // is unworkable whatever its change).
        int hillsChange = 0, lakeChange = 0;
    };
    // One data file's entries, in file order: each element with a <Type>
    // child and the yield lists among its children.
    static bool read(QIODevice &file, QList<Entry> &entries, QString *error);
    const Entry *entry(QByteArrayView type) const;

    QHash<QByteArray, Entry> m_entries;
    Yield m_hillsChange{}, m_lakeChange{};
    QString m_folder;
};

} // namespace vor4
