#include "MiniMapFeed.h"

#include "MapDocument.h"
#include "MapGrid.h"
#include "MiniMapImage.h"
#include "MiniMapWindow.h"
#include "ScrollMapTo.h"
#include "ViewFollowers.h"

#include <QAction>

MiniMapFeed::MiniMapFeed(vor4::MapDocument *doc, MapGrid *grid, QAction *button, QObject *parent)
    : QObject(parent)
    , m_grid(grid)
    , m_button(button)
    , m_image(new vor4::MiniMapImage(&doc->document(), this))
{
    setObjectName(QStringLiteral("MiniMapFeed"));
    followEdits(m_image, doc);
    connect(button, &QAction::triggered, this, [this](bool on) {
        if (!m_window)
            return;
        if (on)
            m_window->show();
        else
            m_window->close();
    });
    connect(grid, &MapGrid::topLeftChanged, this, &MiniMapFeed::followGrid);
    connect(m_image, &vor4::MiniMapImage::changed, this, [this] {
        if (m_window && m_window->isVisible())
            m_window->refresh();
    });
}

void MiniMapFeed::setWindow(MiniMapWindow *window) { m_window = window; }

void MiniMapFeed::setStyle(const vor4::MapStyle &style) { m_image->setStyle(style); }

void MiniMapFeed::reset() { m_image->reset(); }

void MiniMapFeed::render()
{
    if (m_window)
        m_window->fitToPicture();
    m_image->render();
    if (m_window)
        m_window->showPlainPicture();
    scrollGridTo(0, 0, true);
}

void MiniMapFeed::followGrid()
{
    if (m_window && m_window->isVisible())
        scrollGridTo(m_grid->leftCol(), m_grid->topRow(), true);
}

bool MiniMapFeed::scrollGridTo(int col, int row, bool forced)
{
    return scrollMapTo(*m_grid, m_window, m_image->image(), col, row, forced);
}

const QImage &MiniMapFeed::miniMapBitmap() const { return m_image->image(); }

int MiniMapFeed::gridColCount() const { return m_grid->colCount(); }
int MiniMapFeed::gridRowCount() const { return m_grid->rowCount(); }
int MiniMapFeed::gridLeftCol() const { return m_grid->leftCol(); }
int MiniMapFeed::gridTopRow() const { return m_grid->topRow(); }

void MiniMapFeed::setMiniMapButtonDown(bool down) { m_button->setChecked(down); }
