// How the Splits view looks: a colour for each role (ColourRole.h) and the fonts of the clock
// and of the list, as a plain value. The grid view takes its background and text colours
// from it too. Three presets: "Default" (dark grey, green ahead, red behind), "Chroma key,
// green" (a flat #00b140 to key out, with no text colour near it: ahead is cyan and blue) and
// "Chroma key, magenta" (#ff00ff).
//
// In the settings file each colour is "#rrggbb" and each font "family,size" (points at
// 100 %; an empty family is the desktop's own font):
//   AheadGaining=#00cc36
//   ClockFont=DejaVu Sans Mono,30
//   ListFont=,10
// A value that cannot be read keeps the default, so a damaged settings file changes one
// colour back, never the whole look.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ColourRole.h"

// An opaque colour, 0 to 255 a component.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// "#rrggbb": {0, 177, 64} -> "#00b140".
std::string RgbToHex(Rgb colour);
// The colour of "#rrggbb" (either case); nullopt for anything else ("00b140", "#0b1", "").
std::optional<Rgb> RgbFromHex(std::string_view text);
// How far apart two colours look, as the distance of their components weighted for the eye
// (0 for the same colour, about 765 for black and white). A keyer takes out every colour
// within some distance of its key.
double ColourDistance(Rgb a, Rgb b);

// A font by family and size in points at 100 %; an empty family is the desktop's own font.
struct FontChoice {
    std::string family;
    double points = 10;
    bool operator==(const FontChoice&) const = default;
};

// "DejaVu Sans,30" -> {"DejaVu Sans", 30}; ",10" -> {"", 10}. The size comes after the
// last comma, so a family may hold commas. Sizes from 4 to 200 points; nullopt otherwise
// or without a comma.
std::optional<FontChoice> FontFromText(std::string_view text);
std::string FontToText(const FontChoice& font);  // {"DejaVu Sans", 30} -> "DejaVu Sans,30"

enum class AppearancePreset : std::uint8_t { kDefault, kChromaGreen, kChromaMagenta };

struct Appearance {
    std::array<Rgb, kColourRoleCount> colours{};
    FontChoice clockFont{"", 30};
    FontChoice listFont{"", 10};

    Rgb Colour(ColourRole role) const { return colours[RoleIndex(role)]; }
    void SetColour(ColourRole role, Rgb colour) { colours[RoleIndex(role)] = colour; }
    bool operator==(const Appearance&) const = default;

    // The colours of a preset; the fonts are the defaults.
    static Appearance Preset(AppearancePreset preset);
};

// The preset's name as the dialog shows it: "Default", "Chroma key, green", "Chroma key,
// magenta".
const char* PresetTitle(AppearancePreset preset);
inline constexpr std::array<AppearancePreset, 3> kAppearancePresets = {
    AppearancePreset::kDefault, AppearancePreset::kChromaGreen, AppearancePreset::kChromaMagenta};

// The role's title in the dialog ("Ahead, gaining time") and its settings key
// ("AheadGaining").
const char* RoleTitle(ColourRole role);
const char* RoleKey(ColourRole role);

// The settings of an appearance, one key each, in a fixed order: the nine colours, then
// "ClockFont" and "ListFont". Meant for the [Appearance] section.
//   AppearanceToSettings(Appearance::Preset(kDefault))[7] -> {"Background", "#1a1a1f"}
std::vector<std::pair<std::string, std::string>> AppearanceToSettings(const Appearance& look);
// An appearance read from the settings: lookup(key) gives the stored text, or nullopt when
// the key is missing. Missing and unreadable values keep the default preset's.
Appearance AppearanceFromSettings(
    const std::function<std::optional<std::string>(const std::string& key)>& lookup);
