#pragma once
// What the editor keeps between runs, in one file of its configuration
// folder: without an organisation name the default settings would report
// an access error.

#include <QSettings>

QSettings editorSettings();
