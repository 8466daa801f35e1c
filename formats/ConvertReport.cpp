#include "ConvertReport.h"

std::string GroupedNumber(std::int64_t number) {
    const bool negative = number < 0;
    std::string digits = std::to_string(negative ? -number : number);
    for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return negative ? "-" + digits : digits;
}

std::string ConvertReport::LeftBehindLine() const {
    if (Dropped.empty()) {
        return "";
    }
    std::string line = "Left behind: ";
    for (std::size_t i = 0; i < Dropped.size(); ++i) {
        line += (i == 0 ? "" : ", ") + Dropped[i];
    }
    return line;
}

std::string ConvertReport::Text() const {
    std::string text;
    for (const std::string& warning : Warnings) {
        text += warning + "\n";
    }
    for (const std::string& kept : Kept) {
        text += kept + "\n";
    }
    if (!Dropped.empty()) {
        text += LeftBehindLine() + "\n";
    }
    return text;
}
