// Split files of the three formats read into a route, by the file's extension: the one door
// through which the converter and the replace check read a file. The file is read only when
// it is a regular file within kMaxInputBytes (a FIFO or a device is never waited on), and
// no more than that is ever read from it.
//
//   SplitFormatOfPath("/runs/Tunic.LSS") -> SplitFormat::Lss
//   ReadRouteFile("/runs/tunic.lss", SplitFormat::Lss, TimingMethod::Automatic, &report)
//     -> the route; report.LeftBehindLine() "Left behind: 1,788 attempts of history"
//   ReadRouteFile("/runs/gone.lss", ...) -> throws FormatError "cannot be read: no such file"
#pragma once

#include <string>
#include <string_view>

#include "ConvertReport.h"
#include "RouteData.h"
#include "TimingMethod.h"

enum class SplitFormat { Unknown, Quorvel, Lss, UrnJson };

// By extension, any case: ".txt" Quorvel, ".lss" Lss, ".json" UrnJson, else Unknown.
SplitFormat SplitFormatOfPath(const std::string& path);

// The whole file at path; throws FormatError when it is missing, not a regular file, larger
// than kMaxInputBytes or cannot be read.
std::string ReadSplitFileBytes(const std::string& path);

// The route text holds, read as format. Throws FormatError on bad input.
RouteData ReadRouteText(std::string_view text, SplitFormat format, TimingMethod timing,
                        ConvertReport* report);

// Both of the above.
RouteData ReadRouteFile(const std::string& path, SplitFormat format, TimingMethod timing,
                        ConvertReport* report);
