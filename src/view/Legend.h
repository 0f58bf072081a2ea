#pragma once
// The legend of the grid: a sample plot for every colour and mark, each
// painted by the grid's own cell painter, with what it means.

#include <QImage>
#include <QList>
#include <QRect>

namespace vor4 {

struct LegendEntry
{
    const char *plotText;
    const char *meaning;
};

QList<LegendEntry> legendEntries();

// The samples at cell size 32 in two columns; where sample i's cell lies.
QImage legendImage();
QRect legendCell(int index);

} // namespace vor4
