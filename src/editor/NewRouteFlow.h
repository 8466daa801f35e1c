// File ▸ New Route…: a new split file made in the window, with no text editor.
//
// Asks where to save it (a save dialog for a ".txt" file, the name field focused), then shows
// the split editor on a route with one stored run "Personal Best" and the splits "Split 1" to
// "Split 3" (titled "New Route: tower.txt"). OK writes the new split file; the caller then
// opens it.
#pragma once

#include <string>

#include "RouteData.h"

class QWidget;

// The path of the split file written, or "" when the runner cancelled either dialog or the
// file could not be written (said in a message box).
std::string NewRouteFlow(QWidget* parent, const std::string& folder);

// Writes route as a whole split file at path (atomically, replacing any file there); false
// when it could not be written.
bool WriteNewRoute(const std::string& path, const RouteData& route);
