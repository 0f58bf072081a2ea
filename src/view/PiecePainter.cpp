#include "PiecePainter.h"

#include "TextUtil.h"

#include <QFontMetrics>
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

QColor playerColour(int slot, QByteArrayView colorValue)
{
    return MapStyle::classic().playerColour(slot, colorValue);
}

namespace {

// Black or white, whichever reads better on the colour.
QColor inkOn(const QColor &colour) { return colour.lightness() > 140 ? Qt::black : Qt::white; }

// Draws an antialiased mark in an image of its own first, placed at
// `area`: its pixels are then the same wherever it lies and however a
// picture painted in bands clips it.
template <typename Draw>
void drawAlone(QPainter &p, const QRect &area, Draw &&draw)
{
    QImage mark(area.size(), QImage::Format_ARGB32_Premultiplied);
    mark.fill(Qt::transparent);
    QPainter m(&mark);
    m.setFont(p.font());
    m.setRenderHint(QPainter::Antialiasing, true);
    m.translate(-area.topLeft());
    draw(m);
    m.end();
    p.drawImage(area.topLeft(), mark);
}

// A pole standing on the cell's bottom and a flag in the player's colour
// with the slot's number; small cells get a flag bigger than themselves.
void drawStartFlag(QPainter &p, const QRect &cell, int slot, const QColor &colour, const MapStyle &style)
{
    const int side = qMax(14, cell.width());
    const QRect box(cell.center().x() + 1 - side / 2, cell.bottom() + 1 - side, side, side);
    const QString number = QString::number(slot);
    QFont font = p.font();
    font.setPixelSize(qMax(7, side * 2 / 5));
    font.setBold(true);
    const int textWidth = QFontMetrics(font).horizontalAdvance(number);
    const qreal pole = qMax(1.5, side / 12.0);
    const qreal poleX = box.left() + side * 0.22;
    const qreal flagH = side * 0.52;
    const qreal flagW = qMax(side * 0.66, textWidth + side * 0.2);
    const QRectF flag(poleX, box.top() + side * 0.06, flagW, flagH);
    const QRect area = box.united(flag.toAlignedRect()).adjusted(-1, -1, 1, 1);
    drawAlone(p, area, [&](QPainter &m) {
        const QColor ink = QColor::fromRgb(style.markInk);
        m.setPen(QPen(ink, pole, Qt::SolidLine, Qt::FlatCap));
        m.drawLine(QPointF(poleX, box.top() + side * 0.04), QPointF(poleX, box.bottom() + 1));
        m.setPen(QPen(ink, 1));
        m.setBrush(colour);
        m.drawRect(flag);
        m.setFont(font);
        m.setPen(inkOn(colour));
        m.drawText(flag, Qt::AlignCenter, number);
    });
}

void drawStartDisc(QPainter &p, const QRect &cell, int slot, const QColor &colour)
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

// A figure in its owner's colour in the lower right quarter: a head over a
// body; the count beside it on big cells.
void drawUnitFigure(QPainter &p, const QRect &cell, int count, const QColor &colour, const MapStyle &style)
{
    const int W = cell.width();
    if (W < 8) {
        p.fillRect(QRect(cell.right() + 1 - 2, cell.bottom() + 1 - 2, 2, 2), colour);
        return;
    }
    const qreal side = W * 0.5;
    // Inside the cell, its outline too.
    const QRectF box(cell.right() - side - W * 0.04, cell.bottom() - side - W * 0.02, side, side);
    drawAlone(p, cell, [&](QPainter &m) {
        QPainterPath body;
        body.moveTo(box.left() + side * 0.12, box.bottom());
        body.quadTo(box.left() + side * 0.15, box.top() + side * 0.42, box.center().x(), box.top() + side * 0.42);
        body.quadTo(box.right() - side * 0.15, box.top() + side * 0.42, box.right() - side * 0.12, box.bottom());
        body.closeSubpath();
        m.setPen(QPen(QColor::fromRgb(style.markInk), W >= 24 ? 1.5 : 1));
        m.setBrush(colour);
        m.drawPath(body);
        m.drawEllipse(QPointF(box.center().x(), box.top() + side * 0.22), side * 0.2, side * 0.2);
        if (W >= 32 && count > 1) {
            QFont font = m.font();
            font.setPixelSize(qMax(8, W / 5));
            font.setBold(true);
            m.setFont(font);
            m.setPen(QColor::fromRgb(style.markInk));
            m.drawText(QRectF(box.left() - side * 0.7, box.top(), side * 0.66, side * 0.6),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(count));
        }
    });
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

// A pin in the upper right quarter: a round head on a needle.
void drawSignPin(QPainter &p, const QRect &cell, const MapStyle &style)
{
    const int W = cell.width();
    const QColor head = QColor::fromRgb(style.sign);
    if (W < 8) {
        p.fillRect(QRect(cell.right() + 1 - 2, cell.top(), 2, 2), head);
        return;
    }
    const qreal r = W * 0.13;
    const QPointF centre(cell.right() + 1 - W * 0.2, cell.top() + W * 0.2);
    const QPointF point(centre.x() - W * 0.16, centre.y() + W * 0.3);
    drawAlone(p, cell, [&](QPainter &m) {
        m.setPen(QPen(QColor::fromRgb(style.markInk), qMax(1.0, W / 20.0), Qt::SolidLine, Qt::RoundCap));
        m.drawLine(centre, point);
        m.setBrush(head);
        m.drawEllipse(centre, r, r);
    });
}

void drawSignPennant(QPainter &p, const QRect &cell, const MapStyle &style)
{
    p.save();
    // A pole on the left and a pennant, in the bottom left quarter.
    const int w = qMax(2, cell.width() / 2), h = qMax(2, cell.height() / 2);
    const QRect box(cell.left(), cell.bottom() + 1 - h, w, h);
    p.setPen(QPen(QColor::fromRgb(style.markInk), qMax(1, cell.width() / 16)));
    p.drawLine(box.left() + 1, box.top(), box.left() + 1, box.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(style.sign));
    p.drawPolygon(QPolygon({QPoint(box.left() + 2, box.top()), QPoint(box.right() + 1, box.top() + h / 4),
                            QPoint(box.left() + 2, box.top() + h / 2)}));
    p.restore();
}

} // namespace

void drawStart(QPainter &p, const QRect &cell, int slot, const QColor &colour, const MapStyle &style)
{
    if (style.start == MapStyle::StartMark::Flag)
        drawStartFlag(p, cell, slot, colour, style);
    else
        drawStartDisc(p, cell, slot, colour);
}

void drawUnits(QPainter &p, const QRect &cell, int count, const QColor &colour, const MapStyle &style)
{
    if (style.units == MapStyle::UnitMark::Figure)
        drawUnitFigure(p, cell, count, colour, style);
    else
        drawUnitBadge(p, cell, count, colour);
}

void drawSign(QPainter &p, const QRect &cell, const MapStyle &style)
{
    if (style.signs == MapStyle::SignMark::Pin)
        drawSignPin(p, cell, style);
    else
        drawSignPennant(p, cell, style);
}

void drawRiverEdge(QPainter &p, const QRect &carrierCell, PlotFacts::RiverKind kind, int flow, const MapStyle &style)
{
    p.save();
    const QColor blue = QColor::fromRgb(style.river);
    const int size = carrierCell.width(), w = style.riverWidth(size);
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
        drawAlone(p, head.boundingRect().adjusted(-2, -2, 2, 2), [&](QPainter &m) {
            m.setPen(QPen(Qt::white, 1));
            m.setBrush(blue);
            m.drawPolygon(head);
        });
    }
    p.restore();
}

} // namespace vor4
