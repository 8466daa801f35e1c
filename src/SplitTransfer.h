// File > Import... and File > Export... of the window, and the offer to import that Open...
// makes when it meets a split file of another timer. The conversions themselves are the
// converter library's; this file asks the runner the questions around them.
//
//   Import: "/runs/tunic.lss" -> "/runs/tunic.txt" (and its icons "tunic-1.png", ...), after
//   asking before replacing an existing "tunic.txt" and, for a file with both clocks,
//   whether to use real or game time; the report ("Left behind: 1,788 attempts of
//   history") is shown once. The caller then opens the new file as Open... does.
//   Export: the loaded split file to a chosen "*.lss" or "*.json", by its extension.
//
// The questions and the file choosers go through Prompts.h.
#pragma once

#include <string>

namespace SplitTransfer {

// True for a file the converters read and this timer's Open cannot: "*.lss", "*.json".
bool IsOtherTimersSplitFile(const std::string& path);

// Asks for a .lss or .json file and imports it; the new split file's path, or "" when
// nothing was imported (cancelled, refused or bad input, each told to the runner).
std::string ChooseAndImport(const std::string& folder);

// Imports source into a split file beside it with the extension ".txt"; as above.
std::string ImportFile(const std::string& source);

// Offers to import a file that Open... was given: "" when the runner declines.
std::string OfferImport(const std::string& source);

// Asks where to export the split file at splitFile and writes it there; tells the runner
// what could not go along, or why nothing was written.
void ChooseAndExport(const std::string& splitFile);

}  // namespace SplitTransfer
