#pragma once
// How a world-builder map file is told from other files without reading it
// whole: its name, or the start of its text. The desktop file-type rule
// (resources/vor4-map-editor.xml) says the same.

#include <QByteArrayView>
#include <QString>

namespace vor4 {

// ".Vor4WorldBuilderSave" at the end of the name, in any letter case.
bool hasMapFileExtension(const QString &path);

// The game writes "Version=" and a number on the first line and "BeginGame"
// on the second: "BeginGame" starts at byte 9 to 16.
bool startsLikeMapFile(QByteArrayView head);

// A regular file with the extension, or one whose text starts like a map.
bool looksLikeMapFile(const QString &path);

} // namespace vor4
