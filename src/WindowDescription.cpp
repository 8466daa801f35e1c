// The window description: the window, its views and labels, and its menus, each item bound
// to its command.
#include <memory>
#include <string_view>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "SplitsPanel.h"
#include "WidgetView.h"

using shell::kAppTitle;
using shell::kTitleBar;

namespace {

// A fixed label of the window description.
tk::Label* AddLabel(tk::View* view, const tk::Rect& frame, std::string_view text, double size,
                    tk::TextAlignment alignment, const tk::Color& color) {
    auto label = std::make_unique<tk::Label>(frame);
    label->SetText(text);
    label->SetFontSize(size);
    label->SetAlignment(alignment);
    label->SetTextColor(color);
    return view->AddLabel(std::move(label));
}

}  // namespace

void AppDelegate::CreateMainWindow() {
    const tk::Rect screen = tk::Screen::MainFrame();
    const double w = kInitialWidth;
    const double h = kInitialHeight;
    mainWindow_ =
        std::make_unique<tk::Window>(tk::Rect{kInitialLeft, screen.height - kInitialTop - h, w, h});
    window = mainWindow_.get();
    window->SetTitle(kAppTitle);
    window->SetBackgroundColor(kWindowBackground);
    tk::View* content = window->ContentView();
    const double contentHeight = h - kTitleBar;
    const double gridHeight = contentHeight - kHeaderPanelHeight;

    // The band at the top: header labels (added by CreateScreen) over the clock and counters.
    HeaderPanel = content->AddSubview(
        std::make_unique<tk::View>(tk::Rect{0, gridHeight, w, kHeaderPanelHeight}));
    HeaderPanel->SetAutoresizingMask(tk::kWidthSizable | tk::kMinYMargin);

    ClockPanel = content->AddSubview(std::make_unique<tk::View>(
        tk::Rect{0, gridHeight, w, kHeaderPanelHeight - kHeaderLabelHeight - 2}));
    ClockPanel->SetAutoresizingMask(tk::kWidthSizable | tk::kMinYMargin);
    CurrentTimeLabel = AddLabel(ClockPanel, {4, 20, w - 8, 34}, "0.0", 28, tk::TextAlignment::kLeft,
                                tk::Color::White());
    CurrentTimeLabel->SetBold(true);
    StatusLabel = AddLabel(ClockPanel, {4, 2, 110, 18}, "Ready", 13, tk::TextAlignment::kLeft,
                           tk::Color::White());

    AttemptsPanel =
        ClockPanel->AddSubview(std::make_unique<tk::View>(tk::Rect{w - 114, 3, 110, 16}));
    AttemptsPanel->SetAutoresizingMask(tk::kMinXMargin);
    const tk::Color caption = tk::Color::LightGray();
    AddLabel(AttemptsPanel, {0, 0, 52, 16}, "Attempts", 10, tk::TextAlignment::kLeft, caption);
    SessionAttemptLabel = AddLabel(AttemptsPanel, {52, 0, 24, 16}, "0", 10,
                                   tk::TextAlignment::kRight, tk::Color::White());
    AddLabel(AttemptsPanel, {76, 0, 10, 16}, "/", 10, tk::TextAlignment::kCenter, caption);
    TotalAttemptLabel = AddLabel(AttemptsPanel, {86, 0, 24, 16}, "0", 10, tk::TextAlignment::kLeft,
                                 tk::Color::White());

    // The rows of the grid, scrolling inside the rest of the window.
    ScrollBox =
        content->AddSubview(std::make_unique<tk::ScrollView>(tk::Rect{0, 0, w, gridHeight}));
    ScrollBox->SetAutoresizingMask(tk::kWidthSizable | tk::kHeightSizable);
    ScrollBoxContent =
        ScrollBox->SetDocumentView(std::make_unique<tk::View>(tk::Rect{0, 0, w, gridHeight}));

    // The Splits view in place of all of these, while it is the layout.
    SplitsHost =
        content->AddSubview(std::make_unique<tk::WidgetView>(tk::Rect{0, 0, w, contentHeight}));
    SplitsHost->SetAutoresizingMask(tk::kWidthSizable | tk::kHeightSizable);
    SplitsHost->SetHidden(true);

    // ---- Menus ----
    tk::Menu* bar = window->MenuBar();
    tk::Menu* file = bar->AddSubmenu("File")->Submenu();
    file->AddItem(
        "New Route...", [this] { NewRouteMenuClick(); }, "Ctrl+N");
    file->AddItem(
        "Open...", [this] { OpenMenuClick(); }, "Ctrl+O");
    file->AddItem("Import...", [this] { ImportMenuClick(); });
    file->AddItem("Export...", [this] { ExportMenuClick(); });
    file->AddItem("Open Split State...", [this] { OpenSplitStateMenuClick(); });
    file->AddItem("Save Split State", [this] { SaveSplitStateMenuClick(); });
    file->AddSeparator();
    file->AddItem(
        "Save Run", [this] { SaveSplitsMenuClick(); }, "Ctrl+S");
    file->AddItem(
        "Save Best Splits", [this] { SaveBestSplitsMenuClick(); }, "Ctrl+B");
    file->AddSeparator();
    file->AddItem(
        "Quit", [this] { QuitMenuClick(); }, "Ctrl+Q");

    tk::Menu* edit = bar->AddSubmenu("Edit")->Submenu();
    EditSplitsMenuItem = edit->AddItem(
        "Edit Splits...", [this] { EditSplitsMenuClick(); }, "Ctrl+E");

    tk::Menu* timer = bar->AddSubmenu("Timer")->Submenu();
    hotkeyRouter_.SetMenuItem(
        kSplitHotkey, timer->AddItem(
                          "Start / Split", [this] { TimerMenuCommand(kSplitHotkey); }, "Space"));
    hotkeyRouter_.SetMenuItem(
        kSkipHotkey, timer->AddItem(
                         "Skip Split", [this] { TimerMenuCommand(kSkipHotkey); }, "PgDown"));
    hotkeyRouter_.SetMenuItem(kUndoHotkey,
                              timer->AddItem(
                                  "Undo Split", [this] { TimerMenuCommand(kUndoHotkey); }, "PgUp"));
    hotkeyRouter_.SetMenuItem(
        kPauseHotkey, timer->AddItem(
                          "Pause / Resume", [this] { TimerMenuCommand(kPauseHotkey); }, "P"));
    hotkeyRouter_.SetMenuItem(
        kResetHotkey, timer->AddItem(
                          "Reset", [this] { TimerMenuCommand(kResetHotkey); }, "Backspace"));
    timer->AddSeparator();
    timer->AddItem("Go To Timer Mode", [this] { GoToTimerModeMenuClick(); });

    tk::Menu* view = bar->AddSubmenu("View")->Submenu();
    HorizontalModeMenuItem =
        view->AddItem("Horizontal Mode", [this] { HorizontalModeMenuClick(); });
    view->AddSeparator();
    HideBestSplitsMenuItem =
        view->AddItem("Hide Best Splits", [this] { HideBestSplitsMenuClick(); });
    HideCurrentSplitsMenuItem =
        view->AddItem("Hide Current Splits", [this] { HideCurrentSplitsMenuClick(); });
    HideDiffRowsMenuItem =
        view->AddItem("Hide Difference Rows", [this] { HideDiffRowsMenuClick(); });
    HideAttemptCountersMenuItem =
        view->AddItem("Hide Attempt Counters", [this] { HideAttemptsCounterMenuClick(); });
    view->AddSeparator();
    view->AddItem(
        "Zoom In", [this] { ZoomInMenuClick(); }, "Ctrl++;Ctrl+=");
    view->AddItem(
        "Zoom Out", [this] { ZoomOutMenuClick(); }, "Ctrl+-");
    view->AddItem(
        "Actual Size", [this] { ActualSizeMenuClick(); }, "Ctrl+0");
    AlwaysOnTopMenuItem = view->AddItem("Always on Top", [this] { AlwaysOnTopMenuClick(); });
    view->AddSeparator();
    tk::Menu* layout = view->AddSubmenu("Layout")->Submenu();
    GridLayoutMenuItem = layout->AddItem("Grid", [this] { LayoutMenuClick(Layout::kGrid); });
    SplitsLayoutMenuItem = layout->AddItem(
        "Splits", [this] { LayoutMenuClick(Layout::kSplits); }, "Ctrl+L");
    CompareAgainstMenu = view->AddSubmenu("Compare Against")->Submenu();
    HideMenuBarMenuItem = view->AddItem(
        "Hide Menu Bar", [this] { HideMenuBarMenuClick(); }, "F10");
    view->AddSeparator();
    StatisticsMenuItem = view->AddItem(
        "Statistics...", [this] { StatisticsMenuClick(); }, "Ctrl+H");

    tk::Menu* options = bar->AddSubmenu("Options")->Submenu();
    AutosaveBestSplitsMenuItem =
        options->AddItem("Autosave Best Splits", [this] { AutosaveBestSplitsMenuClick(); });
    AutosaveBestRunMenuItem =
        options->AddItem("Autosave Best Run", [this] { AutosaveBestRunMenuClick(); });
    AutosaveSplitStateMenuItem =
        options->AddItem("Autosave Split State", [this] { AutosaveSplitStateMenuClick(); });
    GlobalHotkeysMenuItem =
        options->AddItem("Global Hotkeys", [this] { GlobalHotkeysMenuClick(); });
    options->AddItem(
        "Hotkeys...", [this] { HotkeysMenuClick(); }, "Ctrl+K");
    options->AddItem("Control Server...", [this] { ControlServerMenuClick(); });
    options->AddItem("Background Colour...", [this] { BackgroundColourMenuClick(); });
    options->AddItem("Appearance...", [this] { AppearanceMenuClick(); });
    AskBeforeLosingResultsMenuItem = options->AddItem(
        "Ask Before Losing Results", [this] { AskBeforeLosingResultsMenuClick(); });
    // Every check item shows its box from the start.
    for (tk::MenuItem* item :
         {HorizontalModeMenuItem, HideBestSplitsMenuItem, HideCurrentSplitsMenuItem,
          HideDiffRowsMenuItem, HideAttemptCountersMenuItem, AutosaveBestSplitsMenuItem,
          AutosaveBestRunMenuItem, AutosaveSplitStateMenuItem, GlobalHotkeysMenuItem,
          AlwaysOnTopMenuItem, AskBeforeLosingResultsMenuItem, GridLayoutMenuItem,
          SplitsLayoutMenuItem, HideMenuBarMenuItem}) {
        item->SetCheckable(true);
    }
    window->SetCloseRequestHandler([this] { return MayQuit(); });

    CountersMenu = bar->AddSubmenu("Counters");
    CountersMenu->Submenu()->AddItem("Counter", [this] { CounterItemMenuClick(); });

    splits_ = std::make_unique<SplitsPanel>(SplitsHost, CompareAgainstMenu);
    splits_->SetPlaceholderText(kNoRouteText);
}
