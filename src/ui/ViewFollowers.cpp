#include "ViewFollowers.h"

#include "MapDocument.h"
#include "MapPieces.h"
#include "MiniMapImage.h"

void followEdits(vor4::MapPieces *pieces, vor4::MapDocument *doc)
{
    QObject::connect(doc, &vor4::MapDocument::documentReplaced, pieces, &vor4::MapPieces::reset);
    QObject::connect(doc, &vor4::MapDocument::plotsChanged, pieces, &vor4::MapPieces::plotsChanged);
    QObject::connect(doc, &vor4::MapDocument::sectionChanged, pieces, [pieces](vor4::SectionKind kind) {
        if (kind == vor4::SectionKind::Player)
            pieces->playersChanged();
        else if (kind == vor4::SectionKind::Signs)
            pieces->signsChanged();
    });
}

void followEdits(vor4::MiniMapImage *image, vor4::MapDocument *doc)
{
    QObject::connect(doc, &vor4::MapDocument::plotsChanged, image, &vor4::MiniMapImage::plotsChanged);
    QObject::connect(doc, &vor4::MapDocument::documentReplaced, image, &vor4::MiniMapImage::documentReplaced);
}
