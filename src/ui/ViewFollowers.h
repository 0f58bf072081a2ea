#pragma once
// The pictures of the view layer draw from a document and know nothing of
// its edits: these keep them in step with an edited one.

namespace vor4 {
class MapDocument;
class MapPieces;
class MiniMapImage;
} // namespace vor4

// Replaced documents, changed plots, player texts and signs.
void followEdits(vor4::MapPieces *pieces, vor4::MapDocument *doc);
// Replaced documents and changed plots.
void followEdits(vor4::MiniMapImage *image, vor4::MapDocument *doc);
