#pragma once
// The land each start can call its own: every land plot belongs to the
// start nearest to it (the larger of the axis distances, the short way
// round a wrapping edge, as the map's surface rule says), a plot as near to
// several starts shared equally among them. Plots are read as land (plot
// type 0, 1 or 2), water (3) or unknown (no plot type, or another one), and
// joined through their 8 neighbours, with wrap, into landmasses and water
// bodies; a water body of at most 9 plots is a lake. Plots in the file's
// coordinates (x from the left, y from the bottom). Kept up to date by
// reading again only the plots that change.

#include "MapWrap.h"
#include "PlayerStarts.h"

#include <QByteArrayView>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QVarLengthArray>
#include <map>
#include <vector>

namespace vor4 {

class Document;

class Territory
{
public:
    enum Kind : quint8 { Unknown, Peak, Hills, Flat, Water };
    static constexpr int MaxLakePlots = 9;
    // A plot text's kind, by its first PlotType line.
    static Kind kindOf(QByteArrayView plotText);
    static bool isLand(Kind kind) { return kind == Peak || kind == Hills || kind == Flat; }

    // Reads every plot of the map; the starts are to be divided again. With
    // settlers, reads the units into them anew in the same pass.
    void scan(const Document &doc, SettlerIndex *settlers = nullptr);
    // Reads again the plots of a grid area (row 0 north) that changed.
    void rescan(const Document &doc, const QRect &gridArea);
    // Shares the land out among these starts (on the map), and brings the
    // landmasses up to date with the document's plots and wrap. Costs
    // nothing when neither the plots nor the starts changed.
    void divide(const Document &doc, const QList<PlayerStart> &starts);

    const MapWrap &surface() const { return m_surface; }
    Kind kindAt(QPoint plot) const { return Kind(m_kinds[index(plot)]); }
    // The landmass or water body of a plot; -1 for an unknown one.
    int bodyAt(QPoint plot) const { return m_bodies[index(plot)]; }
    int bodySize(int body) const { return body < 0 ? 0 : m_bodySizes[std::size_t(body)]; }
    bool isLake(QPoint plot) const
    {
        return kindAt(plot) == Water && bodySize(bodyAt(plot)) <= MaxLakePlots;
    }
    qint64 landCount() const { return m_landCount; }
    qint64 unknownCount() const { return m_unknownCount; }

    // The starts divided among, and for each of them its land.
    const QList<PlayerStart> &starts() const { return m_starts; }
    struct Share
    {
        double plots = 0;       // land plots, a shared plot counted in parts
        double acrossWater = 0; // of those, the ones off the start's own landmass
    };
    const QList<Share> &shares() const { return m_shares; }
    // The starts (indices into starts()) nearest to a land plot; none for
    // another plot.
    using Owners = QVarLengthArray<int, 4>;
    void nearestStarts(QPoint plot, Owners &owners) const;
    // The same, read as the territory layer draws a plot: -1 for none, the
    // start for one, else the first two of a tie in *second.
    int ownerAt(QPoint plot, int *second) const;

private:
    std::size_t index(QPoint plot) const { return std::size_t(plot.y()) * std::size_t(m_surface.width) + std::size_t(plot.x()); }
    bool sameSize(const Document &doc) const;
    void readPlots(const Document &doc, const QRect &gridArea);
    void joinBodies();
    void placeOwners();
    // A plot's nearest start, or -2 - i for the i-th set of starts as near.
    qint32 nearestTo(int x, int y);
    void countShares();

    MapWrap m_surface;
    std::vector<quint8> m_kinds;
    std::vector<qint32> m_bodies;
    std::vector<qint32> m_bodySizes;
    qint64 m_landCount = 0, m_unknownCount = 0;
    // Per land plot: the nearest start's index, or -2 - i for the i-th tie.
    std::vector<qint32> m_owners;
    std::vector<std::vector<int>> m_ties;
    std::map<std::vector<int>, int> m_tieIndex;
    // Axis distances to each start by column and by row, start by start.
    std::vector<int> m_dx, m_dy;
    // Runs of one class along the rows, as the landmasses are joined.
    struct Run
    {
        int x0, x1, cls;
    };
    std::vector<Run> m_runs;
    std::vector<std::size_t> m_rowStart, m_parent;
    std::vector<qint32> m_ids;
    QList<PlayerStart> m_starts;
    QList<Share> m_shares;
    bool m_bodiesStale = true, m_ownersStale = true;
};

} // namespace vor4
