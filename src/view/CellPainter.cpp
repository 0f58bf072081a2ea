#include "CellPainter.h"

#include "PlotTable.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace vor4 {

namespace {

constexpr const char *LayerNames[LayerSwitches::Count] = {
    "terrain", "bonus", "feature", "improvement", "team", "forest",
    "jungle", "ice", "flood", "oasis", "mountain", "hill",
};

const QColor Magenta(255, 0, 255);
const QColor Red(255, 0, 0);
const QColor Lime(0, 255, 0);

// The outline of a shape given as (x1, y1, x2, y2) with x2 and y2 exclusive:
// a one-pixel pen then covers x1 to x2 - 1, as in the original drawing model.
QRect shapeRect(int x1, int y1, int x2, int y2)
{
    return QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

// A pen of the given width (0 draws one pixel wide) and colour; the rest of
// the current pen stays, as only width and colour are changed and restored.
QPen markPen(const QPen &current, int width, const QColor &colour)
{
    QPen pen = current;
    pen.setWidth(width);
    pen.setColor(colour);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Setting a colour on an empty brush makes it solid; a hatch keeps its style.
void setBrushColour(QPainter &p, const QColor &colour)
{
    QBrush b = p.brush();
    if (b.style() == Qt::NoBrush)
        b.setStyle(Qt::SolidPattern);
    b.setColor(colour);
    p.setBrush(b);
}

void setBrushStyle(QPainter &p, Qt::BrushStyle style)
{
    QBrush b = p.brush();
    b.setStyle(style);
    p.setBrush(b);
}

// Hatch lines only: the pattern's gaps stay transparent.
void hatch(QPainter &p, const QRect &cell, Qt::BrushStyle style, const QColor &mark)
{
    const QPen pen = p.pen();
    QBrush b = p.brush();
    b.setColor(mark);
    b.setStyle(style);
    p.setBrush(b);
    p.setPen(Qt::NoPen);
    p.drawRect(cell);
    p.setPen(pen);
}

// Qt's ellipse fill can set a pixel left of the ellipse that a clip does not
// stop; drawing through a transparent scratch image of the cell keeps every
// pixel inside it. Shapes are aliased, so the copy is exact.
void drawEllipse(QPainter &p, const QRect &cell, const QRect &shape)
{
    QImage scratch(cell.size(), QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    QPainter s(&scratch);
    s.setPen(p.pen());
    s.setBrush(p.brush());
    s.setBrushOrigin(p.brushOrigin() - cell.topLeft());
    s.drawEllipse(shape.translated(-cell.topLeft()));
    s.end();
    p.drawImage(cell.topLeft(), scratch);
}

} // namespace

const char *LayerSwitches::name(int index)
{
    return index >= 0 && index < Count ? LayerNames[index] : "";
}

bool &LayerSwitches::operator[](int index)
{
    bool *all[Count] = {&terrain, &bonus, &feature, &improvement, &team, &forest,
                        &jungle, &ice, &flood, &oasis, &mountain, &hill};
    return *all[qBound(0, index, Count - 1)];
}

bool LayerSwitches::operator[](int index) const
{
    return const_cast<LayerSwitches &>(*this)[index];
}

int LayerSwitches::indexOf(QAnyStringView name)
{
    for (int i = 0; i < Count; ++i)
        if (name == QLatin1String(LayerNames[i]))
            return i;
    return -1;
}

bool LayerSwitches::operator==(const LayerSwitches &o) const
{
    for (int i = 0; i < Count; ++i)
        if ((*this)[i] != o[i])
            return false;
    return true;
}

Feature shownFeature(Feature kind, const LayerSwitches &layers)
{
    if (!layers.feature)
        return Feature::None;
    switch (kind) {
    case Feature::Forest: return layers.forest ? kind : Feature::None;
    case Feature::Jungle: return layers.jungle ? kind : Feature::None;
    case Feature::Ice: return layers.ice ? kind : Feature::None;
    case Feature::FloodPlains: return layers.flood ? kind : Feature::None;
    case Feature::Oasis: return layers.oasis ? kind : Feature::None;
    case Feature::None: break;
    }
    return Feature::None;
}

QString labelFontFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char *name : {"DejaVu Sans", "Bitstream Vera Sans", "Liberation Sans", "Arial"})
            if (families.contains(QLatin1String(name)))
                return QString::fromLatin1(name);
        return QFont().defaultFamily();
    }();
    return family;
}

QFont labelFont(int cellSize)
{
    const int points = cellSize / 2;
    QFont font(labelFontFamily());
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setStyleStrategy(QFont::NoAntialias); // glyph pixels are lime or untouched
    font.setPixelSize(qMax(1, (points * 96 + 36) / 72));
    font.setBold(points > 12);
    return font;
}

void paintPlot(QPainter &p, const PlotClass &plot, const QRect &cell, const LayerSwitches &layers)
{
    const int L = cell.left();
    const int T = cell.top();
    const int R = L + cell.width();
    const int B = T + cell.height();
    const int W = R - L;
    const int W2 = W / 2;
    const int W4 = W2 / 2;
    const int W8 = W4 / 2;
    const QColor mark = QColor::fromRgb(plot.mark());

    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    const QPen pen = p.pen();

    if (plot.hasFill() && layers.terrain) {
        const QColor fill = QColor::fromRgb(plot.fill());
        setBrushColour(p, fill);
        p.fillRect(cell, fill);
    }

    if (plot.bonus && layers.bonus) {
        setBrushColour(p, Magenta);
        drawEllipse(p, cell, shapeRect(L, T, R, B));
    }

    switch (shownFeature(plot.feature, layers)) {
    case Feature::Forest:
        hatch(p, cell, Qt::CrossPattern, mark);
        hatch(p, cell, Qt::DiagCrossPattern, mark);
        break;
    case Feature::Jungle:
        hatch(p, cell, Qt::DiagCrossPattern, mark);
        break;
    case Feature::Ice:
        // Lines from upper left to lower right (see the pixel test).
        hatch(p, cell, Qt::FDiagPattern, mark);
        break;
    case Feature::FloodPlains:
        hatch(p, cell, Qt::VerPattern, mark);
        break;
    case Feature::Oasis:
        p.setPen(markPen(pen, W / 9, mark));
        drawEllipse(p, cell, shapeRect(L + W8, T + W2 + W8, R - W8, B - W8));
        p.setPen(pen);
        break;
    case Feature::None:
        break;
    }

    if (plot.improvement && layers.improvement) {
        if (W2 > 4) {
            p.setPen(markPen(pen, W / 8, Red));
            p.drawLine(L + 2, T + 2, R - 2, B - 2);
            p.drawLine(R - 2, T + 2, L + 2, B - 2);
            p.setPen(pen);
        } else {
            p.setBrush(Red);
            drawEllipse(p, cell, shapeRect(L, T, R, B));
        }
    }

    if (plot.mountain && layers.mountain) {
        p.setPen(markPen(pen, W / 8, mark));
        const QPoint triangle[3] = {{L + W2, T + W4}, {L + W4, B - W4}, {R - W4, B - W4}};
        p.drawPolygon(triangle, 3);
        p.setPen(pen);
    }

    if (plot.hill && layers.hill) {
        const int P = W / 8;
        p.setPen(markPen(pen, P, mark));
        // Upper-left quarter: counter-clockwise from straight up to straight left.
        p.drawArc(shapeRect(L + P, T + P, R - P, B - P), 90 * 16, 90 * 16);
        p.drawLine(L + W4, T + W4, R - W4, B - W4);
        p.setPen(pen);
    }

    if (!plot.teamLabel.isEmpty() && layers.team) {
        if (W2 > 4) {
            const QString label = QString::fromLatin1(plot.teamLabel.data(), plot.teamLabel.size());
            const QFont font = labelFont(W);
            p.setFont(font);
            p.setPen(Lime);
            const int x = W / 4 - int(label.size()) * (W / 8);
            p.drawText(L + x, T + QFontMetrics(font).ascent(), label);
            p.setPen(pen);
        } else {
            p.setBrush(Lime);
            drawEllipse(p, cell, shapeRect(L, T, R, B));
        }
    }

    setBrushStyle(p, Qt::SolidPattern);

    const QBrush brush = p.brush();
    p.restore();
    p.setPen(pen);
    p.setBrush(brush);
}

void writeMiniMapBlock(QImage *miniMap, int col, int row, QRgb colour)
{
    if (!miniMap || miniMap->isNull() || col < 0 || row < 0)
        return;
    const qint64 x0 = 3 * qint64(col);
    const qint64 y0 = 3 * qint64(row);
    if (x0 >= miniMap->width() || y0 >= miniMap->height())
        return;
    const int x1 = int(qMin<qint64>(x0 + 1, miniMap->width() - 1));
    const int y1 = int(qMin<qint64>(y0 + 1, miniMap->height() - 1));
    const QImage::Format f = miniMap->format();
    const bool direct = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32
        || f == QImage::Format_ARGB32_Premultiplied;
    for (int y = int(y0); y <= y1; ++y) {
        if (direct) {
            QRgb *line = reinterpret_cast<QRgb *>(miniMap->scanLine(y));
            for (int x = int(x0); x <= x1; ++x)
                line[x] = colour;
        } else {
            for (int x = int(x0); x <= x1; ++x)
                miniMap->setPixelColor(x, y, QColor::fromRgb(colour));
        }
    }
}

void drawCell(QPainter &p, const PlotTable &texts, int col, int row, const QRect &cell,
                      const LayerSwitches &layers, QImage *miniMap)
{
    if (!texts.contains(col, row))
        return;
    const PlotClass plot = classifyPlot(texts.view(col, row));
    if (plot.hasFill())
        writeMiniMapBlock(miniMap, col, row, plot.fill());
    paintPlot(p, plot, cell, layers);
}

} // namespace vor4
