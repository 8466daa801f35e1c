// File > Import... and File > Export... of the window, the offer to import that Open... makes
// when it meets a split file of another timer, and the question before New Route... writes
// over a file. The conversions themselves (and the history they carry) are the converter
// library's; this file asks the runner the questions around them.
//
//   Import: "/runs/tunic.lss" -> "/runs/tunic.txt" (its icons "tunic-1.png", ..., its
//   history "tunic.history.sqlite"). For a file with both clocks it asks first whether to use
//   real or game time; then, before writing over a file that is not an older copy of the
//   same route, it says what that loses ("tunic.txt is a Quorvel split file with 57
//   attempts; replacing it loses them.": Replace or Cancel). A long import shows its
//   progress and can be cancelled, leaving no file behind. The report ("1,788 attempts and
//   1,436 segment times kept", "Left behind: ...") is shown once. The caller then opens the
//   new file as Open... does.
//   Export: the loaded split file to a chosen "*.lss" or "*.json", by its extension. The
//   name proposed is one no file has (never the file the route was imported from). An
//   existing LiveSplit file is updated in place after asking ("Update tunic.lss? What
//   Quorvel does not hold is kept."); another file is replaced only after the question
//   above; the open split file itself is refused.
//
// The questions, the file choosers and the progress go through Prompts.h.
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

// Before a new route is written to path: true when path is free, an older copy of the same
// route, or the runner said Replace to what writing there loses; the open split file is
// refused with a notice.
bool MayWriteNewRoute(const std::string& path, const std::string& openSplitFile);

}  // namespace SplitTransfer
