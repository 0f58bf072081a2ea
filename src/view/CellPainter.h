#pragma once
// Painting of one map cell from its plot text.

#include "MapStyle.h"
#include "PlotClass.h"

#include <QFont>
#include <QRect>
#include <QAnyStringView>
#include <QString>

class QImage;
class QPainter;

namespace vor4 {

class PlotTable;

// The twelve layer buttons of the map toolbar, in toolbar order.
struct LayerSwitches
{
    bool terrain = true;
    bool bonus = true;
    bool feature = true; // master switch of the five below
    bool improvement = true;
    bool team = true;
    bool forest = true;
    bool jungle = true;
    bool ice = true;
    bool flood = true;
    bool oasis = true;
    bool mountain = true;
    bool hill = true;

    static constexpr int Count = 12;
    // "terrain", "bonus", ... "hill", in toolbar order.
    static const char *name(int index);
    bool &operator[](int index);
    bool operator[](int index) const;
    // Index of a layer name (case-sensitive), -1 when unknown.
    static int indexOf(QAnyStringView name);
    bool operator==(const LayerSwitches &o) const;
};

// The feature mark that shows under these switches.
Feature shownFeature(Feature kind, const LayerSwitches &layers);

// Size 8 and up: "Modern" is a Windows stroke font that other systems lack;
// DejaVu Sans is the nearest plain sans-serif the editor installs. Pixel size
// is W/2 points at 96 dpi, so the label does not depend on the screen.
QFont labelFont(int cellSize);
QString labelFontFamily();

// Draws the layers of a classified plot into cell (R and B exclusive) in a
// style. Classic draws with the pen and brush the caller left on p, leaves
// p's pen as it was and its brush solid, in the colour the last layer gave
// it; Terrain leaves both as they were. Nothing is drawn outside the cell.
void paintPlot(QPainter &p, const PlotClass &plot, const QRect &cell, const LayerSwitches &layers,
               const MapStyle &style = MapStyle::classic());

// Whether a plot's team label is written out at this cell size, rather
// than marked without its text.
bool writesTeamLabel(const MapStyle &style, int cellSize);

// The grid's cell painter: classifies the cell's plot text and draws its
// layers. A cell outside the table is left alone.
void drawCell(QPainter &p, const PlotTable &texts, int col, int row, const QRect &cell, const LayerSwitches &layers,
              const MapStyle &style = MapStyle::classic());

} // namespace vor4
