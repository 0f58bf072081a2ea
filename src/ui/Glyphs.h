#pragma once

#include <QIcon>
#include <QPixmap>

// Toolbar glyph from the editor's resources; with a theme name, the desktop
// icon theme's icon when there is one.
QIcon glyph(const char *name, const char *themeName = nullptr);
// A picture of the resources rendered at the given size.
QPixmap picture(const char *name, const QSize &size);
