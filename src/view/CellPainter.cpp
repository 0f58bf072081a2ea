#include "CellPainter.h"

#include "PlotTable.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace vor4 {

namespace {

constexpr const char *LayerNames[LayerSwitches::Count] = {
    "terrain", "bonus", "feature", "improvement", "team", "forest",
    "jungle", "ice", "flood", "oasis", "mountain", "hill",
};

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

bool writesTeamLabel(const MapStyle &style, int cellSize)
{
    return style.look == MapStyle::Look::Terrain ? cellSize >= 24 : cellSize / 2 > 4;
}

namespace {

void paintClassic(QPainter &p, const PlotClass &plot, const QRect &cell, const LayerSwitches &layers,
                  const MapStyle &style)
{
    const int L = cell.left();
    const int T = cell.top();
    const int R = L + cell.width();
    const int B = T + cell.height();
    const int W = R - L;
    const int W2 = W / 2;
    const int W4 = W2 / 2;
    const int W8 = W4 / 2;
    const QColor mark = QColor::fromRgb(plot.blackMarks ? style.darkMark : style.lightMark);

    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    const QPen pen = p.pen();

    if (plot.hasFill() && layers.terrain) {
        const QColor fill = QColor::fromRgb(style.fill[std::size_t(plot.terrain)]);
        setBrushColour(p, fill);
        p.fillRect(cell, fill);
    }

    if (plot.bonus && layers.bonus) {
        setBrushColour(p, QColor::fromRgb(style.bonus));
        drawEllipse(p, cell, shapeRect(L, T, R, B));
    }

    const Feature feature = shownFeature(plot.feature, layers);
    if (feature == Feature::Oasis) {
        p.setPen(markPen(pen, W / 9, mark));
        drawEllipse(p, cell, shapeRect(L + W8, T + W2 + W8, R - W8, B - W8));
        p.setPen(pen);
    } else {
        for (Qt::BrushStyle pattern : style.hatches[std::size_t(feature)])
            if (pattern != Qt::NoBrush)
                hatch(p, cell, pattern, mark);
    }

    if (plot.improvement && layers.improvement) {
        const QColor colour = QColor::fromRgb(style.improvement);
        if (W2 > 4) {
            p.setPen(markPen(pen, W / 8, colour));
            p.drawLine(L + 2, T + 2, R - 2, B - 2);
            p.drawLine(R - 2, T + 2, L + 2, B - 2);
            p.setPen(pen);
        } else {
            p.setBrush(colour);
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
        const QColor colour = QColor::fromRgb(style.team);
        if (writesTeamLabel(style, W)) {
            const QString label = QString::fromLatin1(plot.teamLabel.data(), plot.teamLabel.size());
            const QFont font = labelFont(W);
            p.setFont(font);
            p.setPen(colour);
            const int x = W / 4 - int(label.size()) * (W / 8);
            p.drawText(L + x, T + QFontMetrics(font).ascent(), label);
            p.setPen(pen);
        } else {
            p.setBrush(colour);
            drawEllipse(p, cell, shapeRect(L, T, R, B));
        }
    }

    setBrushStyle(p, Qt::SolidPattern);

    const QBrush brush = p.brush();
    p.restore();
    p.setPen(pen);
    p.setBrush(brush);
}

QColor withAlpha(QRgb rgb, int alpha)
{
    QColor c = QColor::fromRgb(rgb);
    c.setAlpha(alpha);
    return c;
}

// Round crowns in a loose grid, `perRow` a row, each nudged off the grid
// by a fixed pattern so that a forest does not look like a fabric.
void paintCrowns(QPainter &p, const QRect &cell, int perRow, const QColor &colour)
{
    const int W = cell.width();
    static const int Nudge[] = {0, 2, -1, 1, -2, 1, 0, -1, 2};
    const double step = double(W) / perRow;
    const double r = step * 0.42;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int j = 0; j < perRow; ++j)
        for (int i = 0; i < perRow; ++i) {
            const double shift = (j % 2) * step / 2;
            const int k = (i + 3 * j) % 9;
            const QPointF c(cell.left() + step * (i + 0.5) + shift - step / 4 + Nudge[k] * step / 12,
                            cell.top() + step * (j + 0.5) + Nudge[(k + 4) % 9] * step / 12);
            p.drawEllipse(c, r, r);
        }
}

void paintTerrain(QPainter &p, const PlotClass &plot, const QRect &cell, const LayerSwitches &layers,
                  const MapStyle &style)
{
    const int W = cell.width();
    const int L = cell.left(), T = cell.top();
    const bool small = W < 8;
    const bool peak = plot.mountain && layers.mountain;
    const bool hill = plot.hill && layers.hill;

    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, !small);

    if (plot.hasFill() && layers.terrain) {
        PlotClass ground = plot;
        ground.mountain = peak;
        p.fillRect(cell, QColor::fromRgb(style.plotColour(ground)));
    }

    // Features, as textures on the ground.
    const Feature feature = shownFeature(plot.feature, layers);
    const QRgb featureColour = style.feature[std::size_t(feature)];
    switch (feature) {
    case Feature::Forest:
    case Feature::Jungle: {
        const int alpha = feature == Feature::Forest ? 190 : 210;
        if (small) {
            // Every other pixel: a forest still reads as a darker ground.
            for (int y = 0; y < W; ++y)
                for (int x = (y % 2); x < W; x += 2)
                    p.fillRect(L + x, T + y, 1, 1, withAlpha(featureColour, alpha));
        } else {
            const int perRow = qBound(2, W / 6, 6) + (feature == Feature::Jungle ? 1 : 0);
            paintCrowns(p, cell, perRow, withAlpha(featureColour, alpha));
        }
        break;
    }
    case Feature::Ice:
        if (small) {
            // A floe along the top: the sea still shows as sea.
            p.fillRect(QRect(L, T, W, qMax(1, W / 3)), withAlpha(featureColour, 160));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(featureColour, 215));
            p.drawRoundedRect(QRectF(L + W * 0.08, T + W * 0.12, W * 0.62, W * 0.34), W * 0.15, W * 0.15);
            p.drawRoundedRect(QRectF(L + W * 0.35, T + W * 0.55, W * 0.55, W * 0.3), W * 0.15, W * 0.15);
        }
        break;
    case Feature::FloodPlains: {
        const int gap = qMax(2, W / 5);
        const int thick = qMax(1, W / 16);
        for (int y = T + gap / 2; y < T + W; y += gap)
            p.fillRect(QRect(L, y, W, thick), withAlpha(featureColour, 150));
        break;
    }
    case Feature::Oasis:
        if (small) {
            p.fillRect(QRect(L + W / 2, T + W / 2, 1, 1), QColor::fromRgb(featureColour));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromRgb(featureColour));
            p.drawEllipse(QRectF(L + W * 0.25, T + W * 0.45, W * 0.5, W * 0.3));
            p.setBrush(QColor::fromRgb(style.feature[std::size_t(Feature::Forest)]));
            p.drawEllipse(QPointF(L + W * 0.3, T + W * 0.4), W * 0.1, W * 0.1);
        }
        break;
    case Feature::None:
        break;
    }

    // Relief: lit from the upper left. A peak also shows its two faces.
    // Drawn in a cell of its own first: a gradient's pixels depend on
    // where it lies, and a cell must look the same wherever it is.
    if (hill || peak) {
        const int shade = peak ? style.peakShade : style.hillShade;
        QImage relief(W, W, QImage::Format_ARGB32_Premultiplied);
        relief.fill(Qt::transparent);
        QPainter r(&relief);
        r.setRenderHint(QPainter::Antialiasing, !small);
        QLinearGradient slope(QPointF(0, 0), QPointF(W, W));
        slope.setColorAt(0, QColor(255, 255, 255, shade));
        slope.setColorAt(0.5, QColor(255, 255, 255, 0));
        slope.setColorAt(0.51, QColor(0, 0, 0, 0));
        slope.setColorAt(1, QColor(0, 0, 0, shade));
        r.fillRect(relief.rect(), slope);
        if (peak && !small) {
            const QPointF top(W * 0.5, W * 0.18), left(W * 0.1, W * 0.9), right(W * 0.9, W * 0.9), foot(W * 0.58, W * 0.9);
            r.setPen(Qt::NoPen);
            r.setBrush(QColor(255, 255, 255, shade));
            const QPointF lit[3] = {top, left, foot};
            r.drawPolygon(lit, 3);
            r.setBrush(QColor(0, 0, 0, shade));
            const QPointF dark[3] = {top, foot, right};
            r.drawPolygon(dark, 3);
        }
        r.end();
        p.drawImage(cell.topLeft(), relief);
    }

    // Corner icons: the resource upper left, the improvement lower left.
    if (plot.improvement && layers.improvement) {
        const int side = qMax(2, W / 3);
        const QRect box(L + (small ? 0 : 1), T + W - side - (small ? 0 : 1), side, side);
        if (small) {
            p.fillRect(box, QColor::fromRgb(style.improvementOutline));
        } else {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QColor::fromRgb(style.improvementOutline));
            p.setBrush(QColor::fromRgb(style.improvement));
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.setRenderHint(QPainter::Antialiasing, true);
        }
    }
    if (plot.bonus && layers.bonus) {
        if (small) {
            // A dot, so that a resource on the sea leaves it the sea's colour.
            p.fillRect(QRect(L, T, 1, 1), QColor::fromRgb(style.bonus));
        } else {
            const double side = qMax(4.0, W * 0.4);
            const QPointF c(L + 1 + side / 2, T + 1 + side / 2);
            const QPointF diamond[4] = {c + QPointF(0, -side / 2), c + QPointF(side / 2, 0), c + QPointF(0, side / 2),
                                        c + QPointF(-side / 2, 0)};
            p.setPen(QPen(QColor::fromRgb(style.bonusOutline), W >= 24 ? 1.5 : 1));
            p.setBrush(QColor::fromRgb(style.bonus));
            p.drawPolygon(diamond, 4);
        }
    }

    // A team's reveal: a faint inner frame, and its label on big cells; a
    // dot on small ones, where a frame would cover half the cell.
    if (!plot.teamLabel.isEmpty() && layers.team) {
        p.setRenderHint(QPainter::Antialiasing, false);
        const QColor colour = QColor::fromRgba(style.team);
        if (W < 12) {
            p.fillRect(QRect(L + (W - 1) / 2, T + (W - 1) / 2, 1 + W / 8, 1 + W / 8), colour);
        } else {
            p.setPen(QPen(colour, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        if (writesTeamLabel(style, W)) {
            QFont font(labelFontFamily());
            font.setPixelSize(qMax(8, W / 4));
            p.setFont(font);
            p.setPen(QColor(20, 60, 20));
            p.drawText(cell.adjusted(0, 0, 0, -2), Qt::AlignHCenter | Qt::AlignBottom,
                       QString::fromLatin1(plot.teamLabel.data(), plot.teamLabel.size()));
        }
    }
    p.restore();
}

} // namespace

void paintPlot(QPainter &p, const PlotClass &plot, const QRect &cell, const LayerSwitches &layers, const MapStyle &style)
{
    if (style.look == MapStyle::Look::Terrain)
        paintTerrain(p, plot, cell, layers, style);
    else
        paintClassic(p, plot, cell, layers, style);
}

void drawCell(QPainter &p, const PlotTable &texts, int col, int row, const QRect &cell, const LayerSwitches &layers,
              const MapStyle &style)
{
    if (!texts.contains(col, row))
        return;
    paintPlot(p, classifyPlot(texts.view(col, row)), cell, layers, style);
}

} // namespace vor4
