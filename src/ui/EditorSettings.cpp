#include "EditorSettings.h"

#include <QStandardPaths>

QSettings editorSettings()
{
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/settings.conf"),
                     QSettings::IniFormat);
}
