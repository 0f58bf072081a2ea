#pragma once
// The statistics of a map as text and as JSON, as vor4map stats prints them.

#include <QByteArray>

namespace vor4 {

class PlotStatistics;

// "Map size", "Plots with text" and "Land plots" lines, then for each kind a
// "Key:" line and one "  value: plots" line per value, in the order of
// PlotStatistics::entries, with " (S% of land)" where the value has land plots.
// Values are written as the file has them.
QByteArray statisticsText(const PlotStatistics &stats, int columns, int rows);

// {"columns":W,"rows":H,"plots_with_text":N,"counts":{"TerrainType":{value:
// plots,...},...}} on one line; values read as Latin-1, written as UTF-8.
QByteArray statisticsJson(const PlotStatistics &stats, int columns, int rows);

// A JSON string of Latin-1 bytes, written as UTF-8.
QByteArray jsonString(const QByteArray &latin1);

} // namespace vor4
