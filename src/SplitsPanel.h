// The Splits view in the window (View ▸ Layout ▸ Splits): the widget that draws it, hosted in
// a view of the window, the runner's choices for it and their settings, and the menu of View ▸
// Compare Against. The shell tells it everything; it reads the engine only when told to.
//
//   SplitsPanel panel(host, compareMenu);        // host: a WidgetView filling the window
//   panel.Read(*IniFile, window background);     // [Splits] and [Appearance]
//   panel.Refresh(*TimerData, gridRun.Run());    // after every command, in both layouts
//   panel.Tick(*TimerData);                      // every tick, while it is shown
//   panel.ContentHeight(panel.PreferredWidth())  // the window's content, in points
//
// The comparison chosen (the menu, or a click on the comparison's name under the clock) is kept
// at once as [Splits] CompareAgainst; an appearance after Options ▸ Appearance… as the keys of
// [Appearance] (SaveAppearance). The comparisons that come from a route's history are offered
// but unavailable until the history is handed in (SetHistory).
//
// Without a window system (tests without a Qt application) there is no widget: the choices,
// the settings and the menu work all the same, and the sizes are nullopt.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Appearance.h"
#include "Comparisons.h"
#include "RunSnapshot.h"
#include "Settings.h"
#include "SplitsSettings.h"
#include "Toolkit.h"

class QuorvelClass;
class SplitsView;
namespace tk {
class WidgetView;
}

class SplitsPanel {
  public:
    SplitsPanel(tk::WidgetView* host, tk::Menu* compareMenu);
    ~SplitsPanel();
    SplitsPanel(const SplitsPanel&) = delete;
    SplitsPanel& operator=(const SplitsPanel&) = delete;

    // At launch: the choices of [Splits] and the look of [Appearance]; a look without a
    // background of its own takes windowBackground, the window's. Later changes are written
    // into settings at once.
    void Read(Settings& settings, const tk::Color& windowBackground);
    void SetPlaceholderText(const std::string& text);
    void SetZoom(double zoom);
    // The comparisons of the route's history; the menu offers them from the next Refresh.
    void SetHistory(const HistoryComparisons& history);

    // The engine changed (run is the shell's own copy of what it shows, for the menu).
    void Refresh(const QuorvelClass& engine, const RunSnapshot& run);
    void Tick(const QuorvelClass& engine);

    const Appearance& Look() const { return look_; }
    // Shows the look (a preview while the dialog is open); SaveAppearance keeps it.
    void SetAppearance(const Appearance& look);
    void SaveAppearance();

    // View ▸ Compare Against, and a click on the comparison's name.
    void Choose(const ComparisonId& id);
    const ComparisonId& Comparison() const { return choice_.comparison; }
    const std::vector<ComparisonChoice>& Choices() const { return choices_; }

    // The width the view asks for and the height it needs at a width, in points; nullopt
    // without a widget.
    std::optional<double> PreferredWidth() const;
    std::optional<double> ContentHeight(double width) const;

    // The widget, null without a window system: for tests.
    SplitsView* View() const;

  private:
    // The menu's items for choices_, the one chosen checked.
    void BuildMenu();
    void PopUpChoices(int x, int y);

    tk::WidgetView* host_;
    tk::Menu* menu_;
    Settings* settings_ = nullptr;
    Appearance look_ = Appearance::Preset(AppearancePreset::kDefault);
    SplitsSettings choice_;
    HistoryComparisons history_;
    std::vector<ComparisonChoice> choices_;
    double zoom_ = 1;
};
