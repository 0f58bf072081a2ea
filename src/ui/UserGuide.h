#pragma once
// Help > User guide: the README, opened with the desktop's viewer. A build
// run from its build tree opens the README of its sources, an installed
// editor the one the package put beside its other documents.

#include <QStringList>

class QWidget;

// Where the guide is looked for, in order.
QStringList userGuidePlaces();
// The first of those places that holds it; empty when none does.
QString userGuidePath();
// Opens the guide, or says where it was looked for.
void openUserGuide(QWidget *parent);
