// The sizes a split file may have before a converter refuses it: large enough for any real
// route (runners' files with years of history and icons are a few megabytes), small enough
// that a hostile file cannot take the memory or the time of the machine.
//
//   a 50 MB file       -> "the file is 50.0 MB; files up to 20 MB are read"
//   100,000 segments   -> "100,000 splits; routes up to 10,000 splits are read"
#pragma once

#include <cstddef>
#include <string>

#include "ConvertReport.h"
#include "Route.h"

inline constexpr std::size_t kMaxInputBytes = 20u << 20;
inline constexpr std::size_t kMaxSplits = 10000;
inline constexpr std::size_t kMaxComparisons = 200;
inline constexpr int kMaxNesting = 64;

// Throws FormatError when size is above kMaxInputBytes.
void CheckInputSize(std::size_t size);
// Throws FormatError when a count is above its limit; line is where the list began.
void CheckSplitCount(std::size_t splits, int line);
void CheckComparisonCount(std::size_t comparisons, int line);

// The 1-based line of the byte at offset in text.
int LineAt(std::string_view text, std::size_t offset);
