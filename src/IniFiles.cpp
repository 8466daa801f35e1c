#include "IniFiles.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "FileIO.h"
#include "NumberText.h"

namespace {

// ---- Number text, independent of the user's locale ----

// atof in the "C" locale, whatever locale the application set up: leading white space, a
// sign, decimal or "0x" hexadecimal digits, "inf" and "nan"; the rest of the text is ignored.
// A value beyond the range of double reads as +-HUGE_VAL, one below it as 0 (or the nearest
// denormal). "0.5" -> 0.5, " -2e3x" -> -2000, "0x1p3" -> 8, "1e999" -> inf, "" -> 0.
double AtofText(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) {
        return 0.0;
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    auto format = std::chars_format::general;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        format = std::chars_format::hex;
        i += 2;
    }
    if (i >= text.size() || text[i] == '-' || text[i] == '+') {
        return 0.0;
    }
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    if (std::from_chars(first, last, value, format).ec == std::errc::result_out_of_range) {
        long double wide = 0.0L;
        if (std::from_chars(first, last, wide, format).ec == std::errc{}) {
            value = static_cast<double>(wide);
        } else {
            // Beyond even long double: a negative exponent is an underflow.
            const std::string_view rest(first, static_cast<std::size_t>(last - first));
            const std::size_t mark = rest.find_first_of(
                format == std::chars_format::hex ? std::string_view("pP") : "eE");
            const bool underflow =
                mark != std::string_view::npos && mark + 1 < rest.size() && rest[mark + 1] == '-';
            value = underflow ? 0.0 : HUGE_VAL;
        }
    }
    return negative ? -value : value;
}

// ---- Settings file text ----

bool IsSectionHeader(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The stored value of section/key, or nullptr; never creates either.
const std::string* FindValue(const decltype(IniFileClass::Sections)& sections,
                             const std::string& section, const std::string& key) {
    const auto found = sections.find(section);
    if (found == sections.end()) {
        return nullptr;
    }
    const auto value = found->second.find(key);
    return value == found->second.end() ? nullptr : &value->second;
}

void AppendLine(std::string* text, const std::string& line) {
    text->append(line);
    text->push_back('\n');
}

}  // namespace

// ---- Reading ----

void IniFileClass::ReadIniFile(std::string path) {
    Sections.clear();
    IniFileName = path;

    std::string text;
    if (!ReadWholeFile(path, &text)) {
        IniFileName.clear();
        return;
    }
    std::vector<std::string> lines;
    ParseLines(std::move(text), &lines);

    std::string section;
    for (const std::string& line : lines) {
        if (line.empty()) {
            continue;
        }
        if (IsSectionHeader(line)) {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        if (section.empty()) {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        Sections[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
}

void IniFileClass::ParseLines(std::string text, std::vector<std::string>* lines) {
    lines->clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines->push_back(text.substr(start));
            return;
        }
        lines->push_back(text.substr(start, end - start));
        start = text.find_first_not_of("\r\n", end);
        if (start == std::string::npos) {
            return;
        }
    }
}

// ---- Writing ----

bool IniFileClass::SaveIniFile(std::string* reason) {
    if (IniFileName.empty()) {
        if (reason != nullptr) {
            *reason = "no settings file";
        }
        return false;
    }
    std::string text;
    for (const auto& [section, keys] : Sections) {
        AppendLine(&text, "[" + section + "]");
        for (const auto& [key, value] : keys) {
            AppendLine(&text, key + "=" + value);
        }
        text.push_back('\n');
    }
    return WriteFileAtomically(
        IniFileName,
        [&text](std::FILE* file) {
            return std::fwrite(text.data(), 1, text.size(), file) == text.size();
        },
        reason);
}

// ---- Values ----

std::string IniFileClass::ReadString(std::string section, std::string key, std::string def) {
    const std::string* value = FindValue(Sections, section, key);
    return value != nullptr ? *value : def;
}

std::int32_t IniFileClass::ReadInteger(std::string section, std::string key, std::int32_t def) {
    const std::string* value = FindValue(Sections, section, key);
    return value != nullptr ? ClampedAtoi(*value) : def;
}

double IniFileClass::ReadFloat(std::string section, std::string key, double def) {
    const std::string* value = FindValue(Sections, section, key);
    if (value == nullptr) {
        return def;
    }
    return AtofText(*value);
}

void IniFileClass::WriteString(std::string section, std::string key, std::string value) {
    Sections[std::move(section)][std::move(key)] = std::move(value);
}

void IniFileClass::WriteInteger(std::string section, std::string key, std::int32_t value) {
    WriteString(std::move(section), std::move(key), std::to_string(value));
}

void IniFileClass::WriteFloat(std::string section, std::string key, double value) {
    // Six decimals, as "%f" writes them: 0.5 -> "0.500000", -1e300 -> 301 digits before the
    // point; "inf", "-inf" and "nan" for the rest.
    char text[400];
    const auto written =
        std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, 6);
    WriteString(std::move(section), std::move(key),
                std::string(text, written.ec == std::errc{} ? written.ptr : text));
}
