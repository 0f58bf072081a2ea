#include "CurrentCell.h"

void CurrentCell::choose(QPoint cell) { set(cell, true); }

void CurrentCell::moveTo(QPoint cell)
{
    if (cell != m_cell)
        set(cell, m_chosen);
}

void CurrentCell::forget() { m_chosen = false; }

void CurrentCell::set(QPoint cell, bool chosen)
{
    if (m_chosen)
        Q_EMIT leaving(m_cell);
    const QPoint before = m_cell;
    m_cell = cell;
    m_chosen = chosen;
    Q_EMIT changed(before, cell);
}
