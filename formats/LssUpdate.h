// Export onto an XML split file that is there already: the file is updated in place, not
// replaced. Quorvel rewrites only what it holds of a route, and every other byte of the file
// stays as it was.
//
// What Quorvel holds, and rewrites where it differs: the segments' names and order, the
// stored runs' split times and the best segments on the route's clock, the attempt count,
// the offset, the description (GameName and CategoryName, only when it changed), and, with
// a history, the attempts and segment times of the attempts it knows, each on its own clock.
// Everything else is kept: GameIcon, Metadata, LayoutPath, AutoSplitterSettings, comparisons
// Quorvel has no stored run of, icons that did not change, the other clock's times (also
// inside an element whose time on Quorvel's clock changed), attempts and segment times of
// ids Quorvel does not know, attributes and elements it does not read, the line breaks, the
// indentation, comments and a byte-order mark. An element whose values did not change is
// left byte for byte; one that did keeps its attributes and its other children.
//
//   base   ... <Offset>00:00:00</Offset> ... <SplitTime name="Personal Best">
//              <RealTime>00:01:02.0000000</RealTime><GameTime>00:01:00</GameTime></SplitTime>
//   route  offset 0, a personal best of 1:01.50 on real time
//   ->     ... <Offset>00:00:00</Offset> ... <SplitTime name="Personal Best">
//              <RealTime>00:01:01.5000000</RealTime><GameTime>00:01:00</GameTime></SplitTime>
//
// Segments are matched by name (history/RouteAlignment.h: the longest run of names in
// common, then by position between two matches as renamed ones); a segment of the file the
// route no longer has is left out and named in the report, a split the file has no segment
// for is added. An attempt whose id the file holds with another start date is a different
// attempt: it is written under a new id, so that neither is lost.
//
// Only files of version 1.6 and later are updated (the attempt list of older versions holds
// no dates, and their times another shape): UpdateRefusal says why another cannot be.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ConvertReport.h"
#include "HistoryTypes.h"
#include "RouteData.h"
#include "TimingMethod.h"

// "" when base can be updated, else why not: "it is of version 1.5; only files of version
// 1.6 and later are updated", or what is wrong with it as an XML split file.
std::string UpdateRefusal(std::string_view base);
// The version part of that alone, for a file read already.
std::string VersionRefusal(std::string_view base);

// The text of base updated with route (whose pictures carry their bytes, as embedded), its
// times on timing's clock (Automatic: real time) and, when given, history. keepIcon[k] says
// that split k's picture was left behind, so the file's icon stays. Throws FormatError when
// base cannot be updated (UpdateRefusal).
std::string UpdateLss(std::string_view base, const RouteData& route, TimingMethod timing,
                      const history::History* history, const std::vector<bool>& keepIcon,
                      ConvertReport* report);
