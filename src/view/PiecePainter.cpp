#include "PiecePainter.h"

#include "TextUtil.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <iterator>

namespace vor4 {

bool &PieceLayers::operator[](int index)
{
    bool *all[Count] = {&starts, &units, &signs, &rivers};
    return *all[qBound(0, index, Count - 1)];
}

bool PieceLayers::operator==(const PieceLayers &o) const
{
    return starts == o.starts && units == o.units && signs == o.signs && rivers == o.rivers;
}

namespace {

struct NamedColour
{
    const char *name;
    QRgb rgb;
};

const NamedColour BaseColours[] = {
    {"BLACK", 0x202020}, {"BLUE", 0x2050e0},   {"BROWN", 0x8b5a2b}, {"CYAN", 0x20d0e0},   {"GRAY", 0x909090},
    {"GREY", 0x909090},  {"GREEN", 0x20b030},  {"LEMON", 0xe8f048}, {"ORANGE", 0xf08020}, {"PEACH", 0xf8b888},
    {"PINK", 0xf070c0},  {"PURPLE", 0x9030c0}, {"RED", 0xe02020},   {"WHITE", 0xf4f4f4},  {"YELLOW", 0xf0e020},
};

// Distinct enough from each other and from the terrain colours.
const QRgb SlotPalette[] = {0xe02020, 0x2050e0, 0xf0e020, 0x9030c0, 0x20b030, 0xf08020, 0x20d0e0, 0xf070c0,
                            0x8b5a2b, 0xf4f4f4, 0x202020, 0x906000, 0x008080, 0x800000, 0x808000, 0x000080,
                            0xa0a0ff, 0xff8080};

} // namespace

QColor playerColour(int slot, QByteArrayView colorValue)
{
    QByteArray name = trimmed(colorValue).toByteArray().toUpper();
    if (name.startsWith("PLAYERCOLOR_")) {
        name = name.mid(12);
        int shade = 100; // QColor::darker/lighter factor
        for (;;) {
            if (name.startsWith("DARK_")) {
                shade += 40;
                name = name.mid(5);
            } else if (name.startsWith("LIGHT_")) {
                shade -= 30;
                name = name.mid(6);
            } else if (name.startsWith("MIDDLE_")) {
                name = name.mid(7);
            } else {
                break;
            }
        }
        for (const NamedColour &c : BaseColours)
            if (name == c.name) {
                const QColor base(c.rgb);
                return shade >= 100 ? base.darker(shade) : base.lighter(200 - shade);
            }
    }
    return QColor(SlotPalette[qAbs(slot) % std::size(SlotPalette)]);
}

namespace {

// Black or white, whichever reads better on the colour.
QColor inkOn(const QColor &colour) { return colour.lightness() > 140 ? Qt::black : Qt::white; }

} // namespace

void drawStartMarker(QPainter &p, const QRect &cell, int slot, const QColor &colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, cell.width() >= 8);
    const QRect disc = cell.adjusted(cell.width() / 8, cell.height() / 8, -cell.width() / 8, -cell.height() / 8);
    p.setPen(cell.width() >= 6 ? QPen(inkOn(colour), 1) : Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(disc.isValid() ? disc : cell);
    if (cell.width() >= 12) {
        QFont font = p.font();
        font.setPixelSize(qMax(6, disc.height() * 2 / 3));
        font.setBold(true);
        p.setFont(font);
        p.setPen(inkOn(colour));
        p.drawText(disc, Qt::AlignCenter, QString::number(slot));
    }
    p.restore();
}

void drawUnitBadge(QPainter &p, const QRect &cell, int count, const QColor &colour)
{
    // The top right quarter, so that a start marker beneath stays readable.
    // Filled rectangles only: a big map shows thousands of badges.
    const int side = qMax(2, cell.width() / 2);
    const QRect badge(cell.right() + 1 - side, cell.top(), side, side);
    if (cell.width() >= 8) {
        p.fillRect(badge, inkOn(colour));
        p.fillRect(badge.adjusted(1, 1, -1, -1), colour);
    } else {
        p.fillRect(badge, colour);
    }
    if (cell.width() >= 24) {
        p.save();
        QFont font = p.font();
        font.setPixelSize(qMax(6, side - 3));
        p.setFont(font);
        p.setPen(inkOn(colour));
        p.drawText(badge, Qt::AlignCenter, QString::number(count));
        p.restore();
    }
}

void drawSignFlag(QPainter &p, const QRect &cell)
{
    p.save();
    // A pole on the left and a pennant, in the bottom left quarter.
    const int w = qMax(2, cell.width() / 2), h = qMax(2, cell.height() / 2);
    const QRect box(cell.left(), cell.bottom() + 1 - h, w, h);
    p.setPen(QPen(Qt::black, qMax(1, cell.width() / 16)));
    p.drawLine(box.left() + 1, box.top(), box.left() + 1, box.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 140, 0));
    p.drawPolygon(QPolygon({QPoint(box.left() + 2, box.top()), QPoint(box.right() + 1, box.top() + h / 4),
                            QPoint(box.left() + 2, box.top() + h / 2)}));
    p.restore();
}

int riverWidth(int cellSize) { return qMax(1, (cellSize * 3 + 8) / 16); }

void drawRiverEdge(QPainter &p, const QRect &carrierCell, PlotFacts::RiverKind kind, int flow)
{
    p.save();
    const QColor blue(30, 90, 255);
    const int size = carrierCell.width(), w = riverWidth(size);
    // The edge lies on the grid line after the cell; the line is centred on it.
    const int lineAt = (kind == PlotFacts::SouthEdge ? carrierCell.bottom() : carrierCell.right()) + 1;
    const QRect band = kind == PlotFacts::SouthEdge
        ? QRect(carrierCell.left(), lineAt - w / 2, size + 1, w)
        : QRect(lineAt - w / 2, carrierCell.top(), w, carrierCell.height() + 1);
    p.fillRect(band, blue);
    if (size >= 24 && flow >= PlotFacts::North && flow <= PlotFacts::West) {
        // A head pointing downstream at the edge's middle.
        const QPoint c = band.center();
        const int a = size / 6;
        QPolygon head;
        switch (flow) {
        case PlotFacts::East: head << c + QPoint(a, 0) << c + QPoint(-a, -a) << c + QPoint(-a, a); break;
        case PlotFacts::West: head << c + QPoint(-a, 0) << c + QPoint(a, -a) << c + QPoint(a, a); break;
        case PlotFacts::South: head << c + QPoint(0, a) << c + QPoint(-a, -a) << c + QPoint(a, -a); break;
        default: head << c + QPoint(0, -a) << c + QPoint(-a, a) << c + QPoint(a, a); break;
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(blue);
        p.drawPolygon(head);
    }
    p.restore();
}

} // namespace vor4
