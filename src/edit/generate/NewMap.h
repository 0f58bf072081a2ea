#pragma once
// A new map as a document: game rules, team and player blocks of the shape
// real maps have, the header, and the plots of the base or of generated
// land, with each placed player's start line and a settler on its start.

#include "Document.h"
#include "NewMapSettings.h"

#include <QStringList>

namespace vor4 {

struct GeneratedLand;

class NewMap
{
public:
    // The settings must have no problem(). Notes tell what could not be
    // done as asked ("2 players have no start: no land for them").
    static Document make(const NewMapSettings &settings, QStringList *notes = nullptr);
    // The document of land already generated (the preview's), same result.
    static Document make(const NewMapSettings &settings, const GeneratedLand &land, QStringList *notes = nullptr);
};

} // namespace vor4
