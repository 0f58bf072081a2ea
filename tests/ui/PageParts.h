#pragma once
// The parts of a window that tests reach, found by their object names as
// the window names them, not through getters of their own.

#include "DropDownComboBox.h"
#include "HintWindow.h"
#include "SpinEdit.h"
#include "StatisticsWindow.h"

#include <QFrame>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

template <typename T>
T *part(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

inline HintWindow *hoverHint(const QObject *w) { return part<HintWindow>(w, "PlotHintWindow"); }
inline QTimer *hoverTimer(const QObject *w) { return part<QTimer>(w, "HoverTimer"); }
inline DropDownComboBox *zoomBox(const QObject *w) { return part<DropDownComboBox>(w, "ZoomBox"); }
inline QFrame *newMapPrompt(const QObject *w) { return part<QFrame>(w, "NewMapPrompt"); }
inline SpinEdit *mapWidthBox(const QObject *w) { return part<SpinEdit>(w, "MapWidthBox"); }
inline SpinEdit *mapHeightBox(const QObject *w) { return part<SpinEdit>(w, "MapHeightBox"); }
inline QPushButton *newMapOkButton(const QObject *w) { return part<QPushButton>(w, "NewMapOkButton"); }
inline QPushButton *newMapCancelButton(const QObject *w) { return part<QPushButton>(w, "NewMapCancelButton"); }
inline StatisticsWindow *statisticsWindow(const QObject *w) { return part<StatisticsWindow>(w, "StatisticsWindow"); }
