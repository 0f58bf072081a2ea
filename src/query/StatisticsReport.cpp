#include "StatisticsReport.h"

#include "PlotStatistics.h"

#include <QString>

namespace vor4 {

QByteArray statisticsText(const PlotStatistics &stats, int columns, int rows)
{
    QByteArray out;
    out += "Map size: " + QByteArray::number(columns) + " x " + QByteArray::number(rows) + '\n';
    out += "Plots with text: " + QByteArray::number(stats.filledCount()) + '\n';
    out += "Land plots: " + QByteArray::number(stats.landCount()) + '\n';
    for (int kind = 0; kind < PlotStatistics::KindCount; ++kind) {
        out += '\n' + PlotStatistics::keyOf(kind) + ":\n";
        for (const PlotStatistics::Entry &e : stats.entries(kind)) {
            out += "  " + e.value + ": " + QByteArray::number(e.plots);
            if (e.landPlots > 0 && stats.landCount() > 0)
                out += " (" + QByteArray::number(100.0 * double(e.landPlots) / double(stats.landCount()), 'f', 1)
                    + "% of land)";
            out += '\n';
        }
    }
    return out;
}

QByteArray jsonString(const QByteArray &latin1)
{
    QByteArray out = "\"";
    for (const char c : QString::fromLatin1(latin1).toUtf8()) {
        const uchar u = uchar(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[u >> 4];
            out += "0123456789abcdef"[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

QByteArray statisticsJson(const PlotStatistics &stats, int columns, int rows)
{
    QByteArray out;
    out += "{\"columns\":" + QByteArray::number(columns) + ",\"rows\":" + QByteArray::number(rows)
        + ",\"plots_with_text\":" + QByteArray::number(stats.filledCount()) + ",\"counts\":{";
    for (int kind = 0; kind < PlotStatistics::KindCount; ++kind) {
        if (kind)
            out += ',';
        out += jsonString(PlotStatistics::keyOf(kind)) + ":{";
        bool first = true;
        for (const PlotStatistics::Entry &e : stats.entries(kind)) {
            if (!first)
                out += ',';
            first = false;
            out += jsonString(e.value) + ':' + QByteArray::number(e.plots);
        }
        out += '}';
    }
    out += "}}\n";
    return out;
}

} // namespace vor4
