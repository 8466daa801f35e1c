// What a conversion tells the runner besides the converted file: warnings (an icon that
// could not be decoded) and what the target format cannot hold, listed in one line.
//
//   report.LeftBehind(1788, "attempt of history", "attempts of history");
//   report.LeftBehind("auto-splitter settings");
//   report.LeftBehindLine()  -> "Left behind: 1,788 attempts of history, auto-splitter settings"
//   report.Keep("1,788 attempts and 1,436 segment times kept");    // a line of its own
//
// A conversion that cannot go on throws FormatError: "line 12: time text "1:0x" has a letter".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Bad input. Line is the 1-based line of the input the fault was found on, 0 when the input
// has no lines to speak of (a JSON value, a file too large to look at).
class FormatError : public std::runtime_error {
  public:
    FormatError(int line, const std::string& what) : std::runtime_error(what), Line(line) {}
    int Line;
};

// The runner stopped a conversion (a question answered Cancel, or the progress cancelled).
class ConversionCancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

// "1788" -> "1,788".
std::string GroupedNumber(std::int64_t number);

class ConvertReport {
  public:
    void Warn(const std::string& text) { Warnings.push_back(text); }
    // What was carried along that the runner may wonder about: the history kept.
    void Keep(const std::string& text) { Kept.push_back(text); }
    // Something of the source the target has no place for; a count of 0 leaves nothing.
    void LeftBehind(const std::string& what) { Dropped.push_back(what); }
    void LeftBehind(std::int64_t count, const std::string& one, const std::string& many) {
        if (count > 0) {
            Dropped.push_back(GroupedNumber(count) + " " + (count == 1 ? one : many));
        }
    }
    // "" when nothing was left behind.
    std::string LeftBehindLine() const;
    // Every warning, what was kept, then the left-behind line, one per line, each ending in
    // "\n".
    std::string Text() const;

    std::vector<std::string> Warnings;
    std::vector<std::string> Kept;
    std::vector<std::string> Dropped;
};
