// The appearance dialog's presets, and the appearance through the settings file.
#include <gtest/gtest.h>

#include <QPushButton>
#include <map>

#include "AppearanceDialog.h"
#include "QtEvents.h"

namespace {

using enum ColourRole;

// A keyer takes out colours near its key; the text colours must stay well clear of it.
constexpr double kFarFromTheKey = 200;

class AppearanceDialogTest : public testing::Test {
  protected:
    void SetUp() override { EnsureTestApp(); }
    void TearDown() override { SetAppearanceDialogTestHook(nullptr); }
};

TEST_F(AppearanceDialogTest, ChromaPresetsKeepEveryTextColourFarFromTheKey) {
    Appearance start = Appearance::Preset(AppearancePreset::kDefault);
    start.clockFont = {"Some Family", 44};
    const struct {
        AppearancePreset preset;
        const char* background;
    } presets[] = {{AppearancePreset::kChromaGreen, "#00b140"},
                   {AppearancePreset::kChromaMagenta, "#ff00ff"}};
    for (const auto& p : presets) {
        SCOPED_TRACE(PresetTitle(p.preset));
        SetAppearanceDialogTestHook([&](AppearanceDialog& dialog) {
            dialog.PresetButton(p.preset)->click();
            return std::optional(dialog.Value());
        });
        const Appearance look = ChooseAppearance(start).value();
        EXPECT_EQ(RgbToHex(look.Colour(kBackground)), p.background);
        EXPECT_EQ(look.clockFont, start.clockFont);  // a preset is colours only
        for (const ColourRole role : {kAheadGaining, kAheadLosing, kBehindGaining, kBehindLosing,
                                      kBestSegment, kPersonalBest, kText, kHighlight}) {
            EXPECT_GT(ColourDistance(look.Colour(role), look.Colour(kBackground)), kFarFromTheKey)
                << RoleTitle(role);
        }
    }
    // On the green, ahead is blue or cyan: blue the largest part, red the smallest.
    const Appearance green = Appearance::Preset(AppearancePreset::kChromaGreen);
    for (const ColourRole role : {kAheadGaining, kAheadLosing}) {
        const Rgb c = green.Colour(role);
        EXPECT_TRUE(c.blue >= c.green && c.red < c.green) << RgbToHex(c);
    }
    // The default preset's green would be keyed out with the chroma green.
    EXPECT_LT(ColourDistance(Appearance::Preset(AppearancePreset::kDefault).Colour(kAheadGaining),
                             green.Colour(kBackground)),
              kFarFromTheKey);
}

TEST_F(AppearanceDialogTest, TheDialogPreviewsEachChangeAndCancelGivesNothing) {
    std::vector<std::string> previewed;
    SetAppearanceDialogTestHook([](AppearanceDialog& dialog) {
        dialog.SetColour(kText, {1, 2, 3});
        dialog.PresetButton(AppearancePreset::kDefault)->click();
        return std::optional<Appearance>();
    });
    const auto chosen = ChooseAppearance(
        Appearance::Preset(AppearancePreset::kChromaGreen), nullptr, [&](const Appearance& look) {
            previewed.push_back(RgbToHex(look.Colour(kText)) + " " +
                                RgbToHex(look.Colour(kBackground)));
        });
    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(previewed, (std::vector<std::string>{"#010203 #00b140", "#ffffff #1a1a1f"}));
}

TEST(AppearanceSettings, TheLookComesBackFromTheSettingsAndABadValueKeepsItsDefault) {
    Appearance look = Appearance::Preset(AppearancePreset::kChromaMagenta);
    look.listFont = {"DejaVu Sans, Condensed", 12.5};
    std::map<std::string, std::string> stored;
    for (const auto& [key, value] : AppearanceToSettings(look)) {
        stored[key] = value;
    }
    EXPECT_EQ(stored["Background"], "#ff00ff");
    EXPECT_EQ(stored["ListFont"], "DejaVu Sans, Condensed,12.5");
    const auto lookup = [&](const std::string& key) -> std::optional<std::string> {
        const auto found = stored.find(key);
        return found == stored.end() ? std::nullopt : std::optional(found->second);
    };
    EXPECT_EQ(AppearanceFromSettings(lookup), look);

    stored = {{"Text", "#12345"},
              {"Background", "#00B140"},
              {"ClockFont", "Mono,1000"},
              {"ListFont", "Mono"}};
    Appearance expected = Appearance::Preset(AppearancePreset::kDefault);
    expected.SetColour(kBackground, {0, 0xb1, 0x40});
    EXPECT_EQ(AppearanceFromSettings(lookup), expected);
}

}  // namespace
