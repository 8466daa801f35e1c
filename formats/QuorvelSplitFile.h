// This timer's own split file as a route, read and written through the split engine itself,
// so a converted file is exactly what the engine would load and save.
//
//   grid "Best Splits | Best Times | Personal Best | Current", row "Forest" 40.10 ...
//   <-> Route{Comparisons: [{"Best Times", ...}, {"Personal Best", ...}]}
//
// Picture cells name files beside the split file ("forest.png"). Names that hold a TAB or a
// line break, which the split file cannot hold, get a blank in their place. Cell notes have
// no place in the other formats and are counted in the report when a file is read.
#pragma once

#include <string>

#include "ConvertReport.h"
#include "Route.h"

// Throws FormatError when the engine cannot load the file.
Route ReadQuorvelSplitFile(const std::string& path, ConvertReport* report);

// Writes atomically; false when the file could not be written (the old one is then whole).
bool WriteQuorvelSplitFile(const Route& route, const std::string& path);
