// The sizes a split file may have before a converter refuses it: large enough for any real
// route (runners' files with years of history and icons are a few megabytes), small enough
// that a hostile file cannot take the memory or the time of the machine. Every limit is
// checked before the memory it guards is taken: the file's size before it is read, the
// counts of a split file's lines and cells and of an XML file's elements before anything is
// built from them, a JSON file's values while they are read.
//
//   a 50 MB file                 -> "the file is 50.0 MB; files up to 20 MB are read"
//   100,000 segments             -> "100,000 splits; routes up to 10,000 splits are read"
//   a title line of 20,000 TABs  -> "line 2: 19,999 stored runs; up to 200 are read"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ConvertReport.h"

inline constexpr std::size_t kMaxInputBytes = 20u << 20;
inline constexpr std::size_t kMaxSplits = 10000;
inline constexpr std::size_t kMaxStoredRuns = 200;
// Cells of a split file: a time or a note of a split in a stored run, or one a row line or a
// notes line holds beyond them.
inline constexpr std::size_t kMaxCells = 2000000;
// Elements (and attributes) of an XML file, values of a JSON file.
inline constexpr std::size_t kMaxElements = 2000000;
inline constexpr int kMaxNesting = 64;
// A picture file named in a split file, and all of them together, when a conversion reads
// them (to embed them, or to copy them beside the converted file).
inline constexpr std::size_t kMaxPictureBytes = 4u << 20;
inline constexpr std::size_t kMaxPictureBytesInAll = 16u << 20;

// Throws FormatError when size is above kMaxInputBytes.
void CheckInputSize(std::size_t size);
// Throw FormatError when a count is above its limit; line is where the list began (0: none).
void CheckSplitCount(std::size_t splits, int line);
void CheckStoredRunCount(std::size_t runs, int line);
void CheckCellCount(std::size_t cells, int line);
void CheckElementCount(std::size_t elements, int line);

// The 1-based line of the byte at offset in text.
int LineAt(std::string_view text, std::size_t offset);

// "1.5 MB" for 1,572,864 bytes.
std::string MegabyteText(std::size_t bytes);
