#include "IniFiles.h"

#include <locale.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "FileIO.h"
#include "NumberText.h"

namespace {

// ---- Number text, independent of the user's locale ----

// Switches the calling thread to the "C" locale while it lives, so that "0.5" reads and
// writes with a point whatever locale the application set up.
class CLocaleScope {
  public:
    CLocaleScope() : c_(::newlocale(LC_ALL_MASK, "C", nullptr)) {
        if (c_ != nullptr) {
            previous_ = ::uselocale(c_);
        }
    }
    ~CLocaleScope() {
        if (c_ != nullptr) {
            ::uselocale(previous_);
            ::freelocale(c_);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t c_;
    locale_t previous_ = nullptr;
};

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

bool IniFileClass::SaveIniFile() {
    if (IniFileName.empty()) {
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
    return WriteFileAtomically(IniFileName, [&text](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
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
    const CLocaleScope cLocale;
    return std::strtod(value->c_str(), nullptr);
}

void IniFileClass::WriteString(std::string section, std::string key, std::string value) {
    Sections[std::move(section)][std::move(key)] = std::move(value);
}

void IniFileClass::WriteInteger(std::string section, std::string key, std::int32_t value) {
    WriteString(std::move(section), std::move(key), std::to_string(value));
}

void IniFileClass::WriteFloat(std::string section, std::string key, double value) {
    std::string text;
    {
        const CLocaleScope cLocale;
        const int size = std::snprintf(nullptr, 0, "%f", value);
        if (size > 0) {
            text.resize(static_cast<std::size_t>(size) + 1);
            std::snprintf(text.data(), text.size(), "%f", value);
            text.resize(static_cast<std::size_t>(size));
        }
    }
    WriteString(std::move(section), std::move(key), std::move(text));
}
