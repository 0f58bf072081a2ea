#include "Glyphs.h"

#include <QPainter>
#include <QSvgRenderer>

static void initEditorResources() { Q_INIT_RESOURCE(editor); }

namespace {
void ensureResources()
{
    static const bool done = (initEditorResources(), true);
    Q_UNUSED(done);
}
} // namespace

QIcon glyph(const char *name, const char *themeName)
{
    ensureResources();
    const QIcon own(QStringLiteral(":/glyphs/%1.svg").arg(QLatin1String(name)));
    return themeName ? QIcon::fromTheme(QLatin1String(themeName), own) : own;
}

QPixmap picture(const char *name, const QSize &size)
{
    ensureResources();
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(QLatin1String(name)));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}
