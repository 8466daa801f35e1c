// This timer's own split file as a route: read from its text and written to text by the
// engine's rules (its line and cell cutting, its time text and its note codes), so a
// converted file is exactly what the engine would load and save. The split_text fuzz target
// holds the two to each other.
//
//   "12\t-0.33\nAny%\tBest Splits\tPB\nLevel 1\t40.10\t41.00\nlevel1.png\t\tjump|rlate\n"
//   <-> RouteData{AttemptCount 12, StartOffset -33, Description "Any%", RunTitles {"PB"},
//                 Splits {{"Level 1", picture "level1.png", best 4010, run times {4100},
//                          notes {"", "jump\nlate"}}}}
//
// Unlike the engine, the reader skips a UTF-8 byte-order mark at the start, and refuses a
// file whose stored runs, splits or cells pass the limits of FormatLimits.h before it
// builds anything, naming the line.
#pragma once

#include <string>
#include <string_view>

#include "RouteData.h"

// Throws FormatError: a split-state file, a NUL byte (a binary file), fewer than four
// lines, or a limit passed.
RouteData ReadQuorvelSplitText(std::string_view text);

// The file's text. Names, titles and picture names lose their TABs and line breaks, which a
// cell cannot hold; notes get their codes ("|t", "|r").
std::string QuorvelSplitText(const RouteData& route);
