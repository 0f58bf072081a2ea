#pragma once
// The pieces of a map as vor4map pieces prints them: start positions, units,
// signs, the number of river edges and the plots revealed to each team.
// Plots in the file's coordinates.

#include <QByteArray>

namespace vor4 {

class Document;

// "start PLAYER X,Y" per player with a readable start, "unit X,Y OWNER
// TYPE" per unit (plots row by row from the north, each from the west),
// "sign X,Y CAPTION" per sign with a plot, then "river edges N" and
// "revealed to team T N plots" per team a "TeamReveal=" line names.
QByteArray piecesText(const Document &doc);
// {"starts":[{"player":n,"x":..,"y":..}],"units":[{"x":..,"y":..,"owner":n,
// "type":"…"}],"signs":[{"x":..,"y":..,"caption":"…"}],"river_edges":n,
// "revealed":[{"team":t,"plots":n}]}
QByteArray piecesJson(const Document &doc);

} // namespace vor4
