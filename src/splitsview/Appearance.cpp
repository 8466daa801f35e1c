#include "Appearance.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr Rgb Hex(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

// In the order of ColourRole.
constexpr std::array<Rgb, kColourRoleCount> kDefault = {
    Hex(0x00c853), Hex(0x66d98c), Hex(0xef8a80), Hex(0xe53935), Hex(0xf2c12e),
    Hex(0x29b6f6), Hex(0xffffff), Hex(0x1a1a1f), Hex(0x2e3b63)};
// Nothing near the key: ahead is cyan and blue, behind red and pink; the highlight is a dark
// grey band that a keyer leaves in.
constexpr std::array<Rgb, kColourRoleCount> kChromaGreen = {
    Hex(0x00e5ff), Hex(0x82b1ff), Hex(0xff8a80), Hex(0xff1744), Hex(0xffd740),
    Hex(0xea80fc), Hex(0xffffff), Hex(0x00b140), Hex(0x1c1c1c)};
constexpr std::array<Rgb, kColourRoleCount> kChromaMagenta = {
    Hex(0x00e676), Hex(0x69f0ae), Hex(0xffab40), Hex(0xff3d00), Hex(0xffd740),
    Hex(0x40c4ff), Hex(0xffffff), Hex(0xff00ff), Hex(0x1c1c1c)};

constexpr std::array<const char*, kColourRoleCount> kRoleKeys = {
    "AheadGaining", "AheadLosing", "BehindGaining", "BehindLosing", "BestSegment",
    "PersonalBest", "Text",        "Background",    "Highlight"};
constexpr std::array<const char*, kColourRoleCount> kRoleTitles = {"Ahead, gaining time",
                                                                   "Ahead, losing time",
                                                                   "Behind, gaining time",
                                                                   "Behind, losing time",
                                                                   "Best segment",
                                                                   "New personal best",
                                                                   "Text",
                                                                   "Background",
                                                                   "Current split"};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string RgbToHex(Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::optional<Rgb> RgbFromHex(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    std::array<std::uint8_t, 3> parts{};
    for (std::size_t i = 0; i < 3; ++i) {
        const int high = HexDigit(text[1 + 2 * i]);
        const int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        parts[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return Rgb{parts[0], parts[1], parts[2]};
}

double ColourDistance(Rgb a, Rgb b) {
    // The "red mean" weighting: green counts most, red and blue by how red the pair is.
    const double meanRed = (a.red + b.red) / 2.0;
    const double dr = a.red - b.red;
    const double dg = a.green - b.green;
    const double db = a.blue - b.blue;
    return std::sqrt((2 + meanRed / 256) * dr * dr + 4 * dg * dg +
                     (2 + (255 - meanRed) / 256) * db * db);
}

std::optional<FontChoice> FontFromText(std::string_view text) {
    const auto comma = text.rfind(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view size = text.substr(comma + 1);
    double points = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), points);
    if (error != std::errc() || end != size.data() + size.size() || !(points >= 4) ||
        !(points <= 200)) {
        return std::nullopt;
    }
    return FontChoice{std::string(text.substr(0, comma)), points};
}

std::string FontToText(const FontChoice& font) {
    char size[32];
    std::snprintf(size, sizeof size, "%g", font.points);
    return font.family + "," + size;
}

Appearance Appearance::Preset(AppearancePreset preset) {
    Appearance look;
    switch (preset) {
        case AppearancePreset::kDefault:
            look.colours = kDefault;
            break;
        case AppearancePreset::kChromaGreen:
            look.colours = kChromaGreen;
            break;
        case AppearancePreset::kChromaMagenta:
            look.colours = kChromaMagenta;
            break;
    }
    return look;
}

const char* PresetTitle(AppearancePreset preset) {
    switch (preset) {
        case AppearancePreset::kChromaGreen:
            return "Chroma key, green";
        case AppearancePreset::kChromaMagenta:
            return "Chroma key, magenta";
        case AppearancePreset::kDefault:
            break;
    }
    return "Default";
}

const char* RoleTitle(ColourRole role) {
    return kRoleTitles[RoleIndex(role)];
}

const char* RoleKey(ColourRole role) {
    return kRoleKeys[RoleIndex(role)];
}

std::vector<std::pair<std::string, std::string>> AppearanceToSettings(const Appearance& look) {
    std::vector<std::pair<std::string, std::string>> settings;
    for (std::size_t i = 0; i < kColourRoleCount; ++i) {
        settings.emplace_back(kRoleKeys[i], RgbToHex(look.colours[i]));
    }
    settings.emplace_back("ClockFont", FontToText(look.clockFont));
    settings.emplace_back("ListFont", FontToText(look.listFont));
    return settings;
}

Appearance AppearanceFromSettings(
    const std::function<std::optional<std::string>(const std::string& key)>& lookup) {
    Appearance look = Appearance::Preset(AppearancePreset::kDefault);
    for (std::size_t i = 0; i < kColourRoleCount; ++i) {
        if (const auto text = lookup(kRoleKeys[i])) {
            look.colours[i] = RgbFromHex(*text).value_or(look.colours[i]);
        }
    }
    if (const auto text = lookup("ClockFont")) {
        look.clockFont = FontFromText(*text).value_or(look.clockFont);
    }
    if (const auto text = lookup("ListFont")) {
        look.listFont = FontFromText(*text).value_or(look.listFont);
    }
    return look;
}
