// Every setting of "Quorvel.ini", declared once with its section, key and type, the value a
// missing key reads as, and the value a first launch writes; and the one store every reader and
// writer goes through. Adding a setting is one line here:
//
//   inline const Setting<bool> kAlwaysOnTop{"Window", "AlwaysOnTop", /*missing=*/false,
//                                           /*firstLaunch=*/false};
//   settings.Get(kAlwaysOnTop)          -> false while the key is missing
//   settings.Set(kAlwaysOnTop, true)    -> "AlwaysOnTop=Y" under [Window], on disk at once
//
// Flags are "Y" (on) or anything else (off); integers read as atoi reads them, held to the
// 32-bit range; text is kept byte for byte. Keys nothing declares survive a read and a write.
//
// A setting changed in the window is written at once, atomically, so a crash or a kill keeps
// it; a file that cannot be read as settings is kept aside and started afresh (Open).
// Standard library and POSIX only; main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "IniFiles.h"

// One setting of type bool, std::int32_t or std::string. Declared once, as a named constant of
// this header; it lives for the life of the process.
template <typename T>
struct Setting {
    // firstLaunch: what the first launch writes; nullopt when the first launch writes nothing
    // (the value is worked out then, or only ever written by the window).
    Setting(const char* section, const char* key, T missing, std::optional<T> firstLaunch);
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

    const char* Section;
    const char* Key;
    T Missing;                     // what a good settings file without the key reads as
    std::optional<T> FirstLaunch;  // what the first launch writes
};

// ---- The settings ----

// [Window]: the grid's display options, the window's place and look.
inline const Setting<bool> kHideBestSplits{"Window", "HideBestSplits", false, false};
inline const Setting<bool> kHideCurrentSplits{"Window", "HideCurrentSplits", false, false};
inline const Setting<bool> kHideDiffRows{"Window", "HideDiffRows", false, false};
inline const Setting<bool> kHideAttemptCounters{"Window", "HideAttemptCounters", false, false};
// The left edge and the distance of the top edge below the main screen's top, in points;
// missing: where the window is laid out (Find).
inline const Setting<std::int32_t> kLeft{"Window", "Left", 0, std::nullopt};
inline const Setting<std::int32_t> kTop{"Window", "Top", 0, std::nullopt};
// Percent, 50 to 400 in steps of 25; a first launch picks one for the screen (ViewLook).
inline const Setting<std::int32_t> kZoom{"Window", "Zoom", 100, std::nullopt};
inline const Setting<bool> kAlwaysOnTop{"Window", "AlwaysOnTop", false, false};
// "#rrggbb"; missing or not a colour: the window's own dark grey.
inline const Setting<std::string> kWindowBackground{"Window", "Background", "", std::nullopt};
// The view the window shows: "Splits", or "Grid" (also what a missing or unknown value reads
// as).
inline const Setting<std::string> kLayout{"Window", "Layout", "Grid", std::nullopt};
inline const Setting<bool> kHideMenuBar{"Window", "HideMenuBar", false, std::nullopt};

// [Splits]: the Splits view's rows, clock, summary lines and comparison, read and checked by
// SplitsSettingsFromText (a missing or unreadable value keeps its default).
inline const Setting<std::string> kSplitsVisibleRows{"Splits", "VisibleRows", "", std::nullopt};
inline const Setting<std::string> kSplitsClockDecimals{"Splits", "ClockDecimals", "", std::nullopt};
inline const Setting<std::string> kSplitsCompareAgainst{"Splits", "CompareAgainst", "",
                                                        std::nullopt};
inline const Setting<std::string> kShowPreviousSegment{"Splits", "ShowPreviousSegment", "",
                                                       std::nullopt};
inline const Setting<std::string> kShowSumOfBest{"Splits", "ShowSumOfBest", "", std::nullopt};
inline const Setting<std::string> kShowBestPossibleTime{"Splits", "ShowBestPossibleTime", "",
                                                        std::nullopt};
inline const Setting<std::string> kShowPossibleTimeSave{"Splits", "ShowPossibleTimeSave", "",
                                                        std::nullopt};
inline const Setting<std::string> kShowTotalPossibleTimeSave{"Splits", "ShowTotalPossibleTimeSave",
                                                             "", std::nullopt};
inline const Setting<std::string> kShowPersonalBest{"Splits", "ShowPersonalBest", "", std::nullopt};
inline const std::array<const Setting<std::string>*, 9> kSplitsSettings = {
    &kSplitsVisibleRows,    &kSplitsClockDecimals,
    &kSplitsCompareAgainst, &kShowPreviousSegment,
    &kShowSumOfBest,        &kShowBestPossibleTime,
    &kShowPossibleTimeSave, &kShowTotalPossibleTimeSave,
    &kShowPersonalBest};

// [Appearance]: the colour of each role ("#rrggbb") and the fonts ("family,size") of the
// Splits view, read by AppearanceFromSettings; the grid takes the background and the text.
inline const Setting<std::string> kAppearanceAheadGaining{"Appearance", "AheadGaining", "",
                                                          std::nullopt};
inline const Setting<std::string> kAppearanceAheadLosing{"Appearance", "AheadLosing", "",
                                                         std::nullopt};
inline const Setting<std::string> kAppearanceBehindGaining{"Appearance", "BehindGaining", "",
                                                           std::nullopt};
inline const Setting<std::string> kAppearanceBehindLosing{"Appearance", "BehindLosing", "",
                                                          std::nullopt};
inline const Setting<std::string> kAppearanceBestSegment{"Appearance", "BestSegment", "",
                                                         std::nullopt};
inline const Setting<std::string> kAppearancePersonalBest{"Appearance", "PersonalBest", "",
                                                          std::nullopt};
inline const Setting<std::string> kAppearanceText{"Appearance", "Text", "", std::nullopt};
// Missing: the window's Background (kWindowBackground).
inline const Setting<std::string> kAppearanceBackground{"Appearance", "Background", "",
                                                        std::nullopt};
inline const Setting<std::string> kAppearanceHighlight{"Appearance", "Highlight", "", std::nullopt};
inline const Setting<std::string> kAppearanceClockFont{"Appearance", "ClockFont", "", std::nullopt};
inline const Setting<std::string> kAppearanceListFont{"Appearance", "ListFont", "", std::nullopt};
inline const std::array<const Setting<std::string>*, 11> kAppearanceSettings = {
    &kAppearanceAheadGaining, &kAppearanceAheadLosing, &kAppearanceBehindGaining,
    &kAppearanceBehindLosing, &kAppearanceBestSegment, &kAppearancePersonalBest,
    &kAppearanceText,         &kAppearanceBackground,  &kAppearanceHighlight,
    &kAppearanceClockFont,    &kAppearanceListFont};

// [Misc]: what is kept without a command, and the questions before results are lost.
inline const Setting<bool> kAutoSaveBestSplits{"Misc", "AutoSaveBestSplits", false, true};
inline const Setting<bool> kAutoSaveBestRun{"Misc", "AutoSaveBestRun", false, true};
inline const Setting<bool> kAutoSaveSplitState{"Misc", "AutoSaveSplitState", true, true};
inline const Setting<bool> kAskBeforeLosingResults{"Misc", "AskBeforeLosingResults", true, true};
// Whole seconds a best segment must be longer than; read, never written by the window.
inline const Setting<std::int32_t> kBestSplitMinElapsedSec{"Misc", "BestSplitMinElapsedSec", 0, 0};
// The split file opened last, opened again at launch.
inline const Setting<std::string> kLastSplitFile{"Misc", "LastSplitFile", "", std::nullopt};

// [Hotkeys]: the global hotkeys, in the key text of the menus ("Num+1", "Ctrl+F5"; "" none).
inline const Setting<bool> kGlobalHotkeys{"Hotkeys", "GlobalHotkeys", false, false};
inline const Setting<std::string> kSplitKey{"Hotkeys", "Split", "Num+1", "Num+1"};
inline const Setting<std::string> kSkipKey{"Hotkeys", "Skip", "Num+2", "Num+2"};
inline const Setting<std::string> kUndoKey{"Hotkeys", "Undo", "Num+8", "Num+8"};
inline const Setting<std::string> kPauseKey{"Hotkeys", "Pause", "Num+5", "Num+5"};
inline const Setting<std::string> kResetKey{"Hotkeys", "Reset", "Num+3", "Num+3"};

// [Control]: outside commands over TCP (Options ▸ Control Server…); the local socket needs none.
inline const Setting<bool> kControlServer{"Control", "Server", false, false};
// 1..65535; anything else reads as 16834.
inline const Setting<std::int32_t> kControlPort{"Control", "Port", 16834, 16834};
inline const Setting<bool> kControlAllowOthers{"Control", "AllowOtherComputers", false, false};

// ---- The store ----

class Settings {
  public:
    // A settings file larger than this is no settings file.
    static constexpr std::size_t kMaxBytes = 1 << 20;

    enum class Start {
        Read,         // the settings file, read
        FirstLaunch,  // there was none: the first-launch values, written
        // There was a file that cannot be read as settings (empty, not text, no key under a
        // section, too large, unreadable, not a regular file: a folder, a link): renamed to
        // "Quorvel.ini.bad", and the first-launch values written in its place.
        SetAside,
    };

    // Reads the settings file at path, making its folder when missing. Every value of a first
    // launch is written at once; Trouble() says when it could not be.
    Start Open(const std::string& path);
    // True after Open started from the first-launch values.
    bool FirstLaunch() const { return start_ != Start::Read; }
    // What went wrong with the settings file, for the window ("" when nothing did):
    //   "Quorvel.ini could not be read as settings; it was kept as Quorvel.ini.bad."
    //   "/home/a/.config/quorvel/Quorvel.ini cannot be written (Permission denied)."
    const std::string& Trouble() const { return trouble_; }

    // The value, or the setting's Missing value.
    template <typename T>
    T Get(const Setting<T>& setting) const;
    // The value; nullopt when the key is missing.
    template <typename T>
    std::optional<T> Find(const Setting<T>& setting) const;
    // Stores the value and, when it changed, writes the file at once (atomically). A write that
    // fails keeps the value for this session and calls the failure handler.
    template <typename T>
    void Set(const Setting<T>& setting, const T& value);
    // Stores the value for the next Write: for several settings at once.
    template <typename T>
    void Put(const Setting<T>& setting, const T& value);
    // Writes every setting; false when the write failed.
    bool Write();

    // Called with the reason ("No space left on device") when a write fails after the last
    // one succeeded (a failure at Open is in Trouble()); one line on standard error too.
    void OnWriteFailure(std::function<void(const std::string& reason)> handler) {
        onWriteFailure_ = std::move(handler);
    }
    const std::string& Path() const { return store_.IniFileName; }

  private:
    bool PutText(const char* section, const char* key, const std::string& text);

    IniFileClass store_;
    Start start_ = Start::Read;
    std::string trouble_;
    bool writeFailed_ = false;
    std::function<void(const std::string&)> onWriteFailure_;
};

// The text of a value in the file, and back: true <-> "Y", 12 <-> "12".
std::string SettingText(bool value);
std::string SettingText(std::int32_t value);
std::string SettingText(const std::string& value);
void ReadSettingText(const std::string& text, bool* value);
void ReadSettingText(const std::string& text, std::int32_t* value);
void ReadSettingText(const std::string& text, std::string* value);

// Every declared setting with what a first launch writes, in the order of declaration.
struct DeclaredSetting {
    const char* Section;
    const char* Key;
    std::optional<std::string> FirstLaunch;
};
std::vector<DeclaredSetting>& DeclaredSettings();

template <typename T>
Setting<T>::Setting(const char* section, const char* key, T missing, std::optional<T> firstLaunch)
    : Section(section), Key(key), Missing(std::move(missing)), FirstLaunch(std::move(firstLaunch)) {
    DeclaredSettings().push_back(
        {section, key, FirstLaunch ? std::optional(SettingText(*FirstLaunch)) : std::nullopt});
}

template <typename T>
std::optional<T> Settings::Find(const Setting<T>& setting) const {
    const auto section = store_.Sections.find(setting.Section);
    if (section == store_.Sections.end()) {
        return std::nullopt;
    }
    const auto key = section->second.find(setting.Key);
    if (key == section->second.end()) {
        return std::nullopt;
    }
    T value{};
    ReadSettingText(key->second, &value);
    return value;
}

template <typename T>
T Settings::Get(const Setting<T>& setting) const {
    return Find(setting).value_or(setting.Missing);
}

template <typename T>
void Settings::Put(const Setting<T>& setting, const T& value) {
    PutText(setting.Section, setting.Key, SettingText(value));
}

template <typename T>
void Settings::Set(const Setting<T>& setting, const T& value) {
    if (PutText(setting.Section, setting.Key, SettingText(value))) {
        Write();
    }
}
