#include "AppDelegate.h"
#include "AppDelegateShared.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "EditSplits.h"
#include "NumberText.h"
#include "SplitTransfer.h"
#include "TimeDisplay.h"
#include "WindowPlacement.h"
#include "WrapTime.h"

std::unique_ptr<QuorvelClass> TimerData;
std::unique_ptr<QuorvelClass> LastInputTimer;
std::unique_ptr<IniFileClass> IniFile;
std::string RunningFolder;
bool HideBestSplits = false;
bool HideCurrentSplits = false;
bool HideDiffRows = false;
bool HideAttemptsCounters = false;
std::int32_t DoubleClickDelayTime = 0;
DisplayGridType DisplayGrid;

namespace {

using shell::CheckOf;
using shell::IsOn;
using shell::kAppTitle;

// A note as its tip shows it: the line breaks the file gives back as CR LF become plain ones.
std::string NoteText(std::string note) {
    for (std::size_t at = note.find("\r\n"); at != std::string::npos; at = note.find("\r\n", at)) {
        note.erase(at, 1);
    }
    return note;
}

constexpr char kIniFileName[] = "Quorvel.ini";
constexpr double kTitleBar = tk::Window::kTitleBarHeight;

// ---- Small helpers ----

// Truncation toward zero of a layout value; out-of-range values saturate.
std::int64_t Trunc(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 9.0e18) {
        return static_cast<std::int64_t>(9.0e18);
    }
    if (value <= -9.0e18) {
        return static_cast<std::int64_t>(-9.0e18);
    }
    return static_cast<std::int64_t>(value);
}

tk::Color ColorOfSign(std::int32_t value) {
    if (value < 0) {
        return tk::Color::Green();
    }
    if (value > 0) {
        return tk::Color::Red();
    }
    return tk::Color::White();
}

std::string YesNo(bool on) {
    return on ? "Y" : "N";
}

// The settings folder, made with its missing parents. True when it is a folder after.
bool MakeFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

// The settings of a first launch: every flag off but the split-state autosave, no minimum
// best segment.
bool WriteDefaultIniFile(const std::string& path) {
    IniFileClass defaults;
    defaults.IniFileName = path;
    for (const char* key :
         {"HideBestSplits", "HideCurrentSplits", "HideDiffRows", "HideAttemptCounters"}) {
        defaults.WriteString("Window", key, "N");
    }
    // A new runner's best splits and best run are kept without a command.
    defaults.WriteString("Misc", "AutoSaveBestSplits", "Y");
    defaults.WriteString("Misc", "AutoSaveBestRun", "Y");
    defaults.WriteString("Misc", "AutoSaveSplitState", "Y");
    defaults.WriteString("Misc", "AskBeforeLosingResults", "Y");
    defaults.WriteInteger("Misc", "BestSplitMinElapsedSec", 0);
    return defaults.SaveIniFile();
}

// A label of the grid: no border, clear background, read-only, the small system font.
std::unique_ptr<tk::Label> MakeGridLabel(const tk::Rect& frame, std::string_view text,
                                         tk::TextAlignment alignment,
                                         std::optional<tk::Color> textColor = std::nullopt) {
    auto label = std::make_unique<tk::Label>(frame);
    label->SetBezeled(false);
    label->SetDrawsBackground(true);
    label->SetBackgroundColor(tk::Color::Clear());
    label->SetEditable(false);
    label->SetFontSize(AppDelegate::kLabelFontSize);
    label->SetAlignment(alignment);
    label->SetText(text);
    if (textColor) {
        label->SetTextColor(*textColor);
    }
    return label;
}

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

// ---- Globals ----

void PutTimerLabelInGrid(int row, int column, bool mainLabel, tk::Label* label) {
    if (row < 0 || static_cast<std::size_t>(row) >= DisplayGrid.size()) {
        return;
    }
    auto& columns = DisplayGrid[static_cast<std::size_t>(row)];
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) {
        return;
    }
    auto& slots = columns[static_cast<std::size_t>(column)];
    if (slots.empty()) {
        return;
    }
    if (mainLabel) {
        slots[0] = label;
    } else if (slots.size() > 1) {
        slots[1] = label;
    }
}

std::string RunningFolderFor(const std::string& xdgConfigHome, const std::string& home) {
#ifdef __APPLE__
    (void)xdgConfigHome;
    (void)home;
    return "/Applications/Quorvel/";
#else
    std::string config = xdgConfigHome;
    if (config.empty() || config[0] != '/') {
        config = home + "/.config";
    }
    while (config.size() > 1 && config.back() == '/') {
        config.pop_back();
    }
    return config + "/quorvel/";
#endif
}

// ---- Life of the delegate ----

AppDelegate::AppDelegate(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)),
      hotkeyRouter_([this](HotkeyCommand command) { RunCommand(command); },
                    [this] { return runState_.QuestionOpen(); }, TimerData),
      look_([this] {
          if (TimerData && TimerData->GetColumnCount() != 0) {
              RebuildDisplay();  // the window sized again for the screen at the new zoom
          }
      }) {}

AppDelegate::~AppDelegate() {
    // No key may reach a command while the engines go.
    hotkeyRouter_.Close();
    // The labels die with the window: forget them first.
    DisplayGrid.clear();
    TextUpdateTimer.reset();
    TimerData.reset();
    LastInputTimer.reset();
}

void AppDelegate::WillFinishLaunching() {
    if (!mainWindow_) {
        CreateMainWindow();
    }
}

// ---- Window description ----

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

    auto* clock = content->AddSubview(std::make_unique<tk::View>(
        tk::Rect{0, gridHeight, w, kHeaderPanelHeight - kHeaderLabelHeight - 2}));
    clock->SetAutoresizingMask(tk::kWidthSizable | tk::kMinYMargin);
    CurrentTimeLabel = AddLabel(clock, {4, 20, w - 8, 34}, "0.0", 28, tk::TextAlignment::kLeft,
                                tk::Color::White());
    CurrentTimeLabel->SetBold(true);
    StatusLabel =
        AddLabel(clock, {4, 2, 110, 18}, "Ready", 13, tk::TextAlignment::kLeft, tk::Color::White());

    AttemptsPanel = clock->AddSubview(std::make_unique<tk::View>(tk::Rect{w - 114, 3, 110, 16}));
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
    options->AddItem("Background Colour...", [this] { BackgroundColourMenuClick(); });
    AskBeforeLosingResultsMenuItem = options->AddItem(
        "Ask Before Losing Results", [this] { AskBeforeLosingResultsMenuClick(); });
    // Every check item shows its box from the start.
    for (tk::MenuItem* item :
         {HorizontalModeMenuItem, HideBestSplitsMenuItem, HideCurrentSplitsMenuItem,
          HideDiffRowsMenuItem, HideAttemptCountersMenuItem, AutosaveBestSplitsMenuItem,
          AutosaveBestRunMenuItem, AutosaveSplitStateMenuItem, GlobalHotkeysMenuItem,
          AlwaysOnTopMenuItem, AskBeforeLosingResultsMenuItem}) {
        item->SetCheckable(true);
    }
    window->SetCloseRequestHandler([this] { return MayQuit(); });

    CountersMenu = bar->AddSubmenu("Counters");
    CountersMenu->Submenu()->AddItem("Counter", [this] { CounterItemMenuClick(); });
}

// ---- Start-up and shutdown ----

void AppDelegate::applicationDidFinishLaunching() {
    if (!mainWindow_) {
        CreateMainWindow();
    }
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string homeFolder = home != nullptr ? home : "";
    if (homeFolder.empty()) {
        const passwd* entry = getpwuid(getuid());
        homeFolder = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/tmp";
    }
    RunningFolder = RunningFolderFor(xdg != nullptr ? xdg : "", homeFolder);

    // First launch, or settings deleted to start afresh: the folder and the default settings.
    std::error_code error;
    const bool firstLaunch = !std::filesystem::is_directory(RunningFolder, error);
    if (firstLaunch || !std::filesystem::exists(RunningFolder + kIniFileName, error)) {
        if (!MakeFolders(RunningFolder) || !WriteDefaultIniFile(RunningFolder + kIniFileName)) {
            std::fprintf(stderr, "Quorvel: cannot create the settings folder %s\n",
                         RunningFolder.c_str());
        }
    }

    TimerData = std::make_unique<QuorvelClass>(RunningFolder);
    guard_ = std::make_unique<ResultGuard>(*TimerData);
    LastInputTimer = std::make_unique<QuorvelClass>(RunningFolder);
    LastInputTimer->StartOffset = -33;
    LastInputTimer->StartTimer();

    TextUpdateTimer = tk::RepeatingTimer::Schedule(0.075, [this] { OnUpdateTimer(); });

    IniFile = std::make_unique<IniFileClass>();
    IniFile->ReadIniFile(RunningFolder + kIniFileName);

    const auto flag = [](const char* section, const char* key) {
        return IniFile->ReadString(section, key, "") == "Y";
    };
    HideBestSplits = flag("Window", "HideBestSplits");
    HideBestSplitsMenuItem->SetState(CheckOf(HideBestSplits));
    HideCurrentSplits = flag("Window", "HideCurrentSplits");
    HideCurrentSplitsMenuItem->SetState(CheckOf(HideCurrentSplits));
    HideDiffRows = flag("Window", "HideDiffRows");
    HideDiffRowsMenuItem->SetState(CheckOf(HideDiffRows));

    AttemptsPanel->SetHidden(true);

    HideAttemptsCounters = flag("Window", "HideAttemptCounters");
    HideAttemptCountersMenuItem->SetState(CheckOf(HideAttemptsCounters));

    TimerData->AutosaveBestSplits = flag("Misc", "AutoSaveBestSplits");
    AutosaveBestSplitsMenuItem->SetState(CheckOf(TimerData->AutosaveBestSplits));
    const std::int64_t minSeconds = IniFile->ReadInteger("Misc", "BestSplitMinElapsedSec", 0);
    TimerData->BestSplitMinElapsed = SaturateToInt32(minSeconds * 100);
    TimerData->AutosaveBestRun = flag("Misc", "AutoSaveBestRun");
    AutosaveBestRunMenuItem->SetState(CheckOf(TimerData->AutosaveBestRun));
    // On unless switched off: a missing key (settings of an older version) means "Y".
    runState_.SetOn(IniFile->ReadString("Misc", "AutoSaveSplitState", "Y") == "Y");
    AutosaveSplitStateMenuItem->SetState(CheckOf(runState_.IsOn()));
    guard_->AskBeforeLosingResults =
        IniFile->ReadString("Misc", "AskBeforeLosingResults", "Y") == "Y";
    AskBeforeLosingResultsMenuItem->SetState(CheckOf(guard_->AskBeforeLosingResults));
    const bool hotkeysOn = hotkeyRouter_.SetUp(*IniFile);
    GlobalHotkeysMenuItem->SetState(CheckOf(hotkeysOn));
    if (hotkeysOn) {
        hotkeyRouter_.SetOn(true);
    }

    CountersMenu->SetHidden(true);

    // The zoom first: "Left" and "Top" are points at the zoom they were saved with.
    look_.Read(*IniFile, *window, firstLaunch, kLabelFontSize,
               {0, 0, kInitialWidth, kInitialHeight});
    AlwaysOnTopMenuItem->SetState(CheckOf(look_.AlwaysOnTop()));

    // Placement: "Top" counts down from the main screen's top edge.
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    const std::int32_t laidOutLeft = SaturateToInt32(Trunc(frame.x));
    const std::int32_t laidOutTop = SaturateToInt32(
        Trunc(static_cast<float>(static_cast<double>(screenHeight) - frame.y - frame.height)));
    // Held to the screen: a monitor that is gone or a hand-edited value never puts the
    // window out of sight.
    const WindowOrigin origin =
        ClampWindowOrigin(IniFile->ReadInteger("Window", "Left", laidOutLeft),
                          IniFile->ReadInteger("Window", "Top", laidOutTop), Trunc(frame.width),
                          Trunc(frame.height), Trunc(tk::Screen::MainFrame().width), screenHeight);
    tk::Rect placed = frame;
    placed.x = origin.Left;
    placed.y = static_cast<double>(screenHeight - origin.Top) - frame.height;
    window->SetFrame(placed, /*display=*/true);

    if (arguments_.size() > 1 && !arguments_[1].empty()) {
        OpenSplitFile(arguments_[1]);
    } else {
        // The split file of the last session, when it is still there to be read.
        const std::string last = IniFile->ReadString("Misc", "LastSplitFile", "");
        std::error_code unreadable;
        if (!last.empty() && std::filesystem::is_regular_file(last, unreadable) &&
            ::access(last.c_str(), R_OK) == 0) {
            OpenSplitFile(last);
        }
    }
    ShowFileState();
    // Shown once placed and filled, so it appears in one go where it belongs.
    window->Show();
}

void AppDelegate::applicationWillTerminate() {
    if (!IniFile || window == nullptr) {
        return;
    }
    // An unfinished run is kept as it stands at the moment of quitting, to be offered again.
    if (TimerData && TimerData->GetCurrentTime() != 0) {
        AutosaveRunState();
    }
    runState_.Flush();
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    IniFile->WriteInteger("Window", "Left", SaturateToInt32(Trunc(frame.x)));
    const float top = static_cast<float>(screenHeight) - static_cast<float>(frame.y) -
                      static_cast<float>(frame.height);
    IniFile->WriteInteger("Window", "Top", SaturateToInt32(Trunc(top)));

    IniFile->WriteString("Window", "HideBestSplits", YesNo(IsOn(HideBestSplitsMenuItem)));
    IniFile->WriteString("Window", "HideCurrentSplits", YesNo(IsOn(HideCurrentSplitsMenuItem)));
    IniFile->WriteString("Window", "HideDiffRows", YesNo(IsOn(HideDiffRowsMenuItem)));
    IniFile->WriteString("Window", "HideAttemptCounters", YesNo(IsOn(HideAttemptCountersMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveBestSplits", YesNo(IsOn(AutosaveBestSplitsMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveBestRun", YesNo(IsOn(AutosaveBestRunMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveSplitState", YesNo(IsOn(AutosaveSplitStateMenuItem)));
    IniFile->WriteString("Misc", "AskBeforeLosingResults",
                         YesNo(IsOn(AskBeforeLosingResultsMenuItem)));
    hotkeyRouter_.Save(*IniFile, IsOn(GlobalHotkeysMenuItem));
    look_.Write(*IniFile);
    if (!IniFile->SaveIniFile() && !IniFile->IniFileName.empty()) {
        std::fprintf(stderr, "Quorvel: could not save the settings to %s\n",
                     IniFile->IniFileName.c_str());
    }
}

// ---- Update tick ----

void AppDelegate::OnUpdateTimer() {
    // A split-state save runs a moment after its command: its failure shows at the next tick.
    if (TimerData && TimerData->LastStateSaveFailed != stateFailureShown_) {
        ShowFileState();
    }
    const std::int32_t t = TimerData->GetCurrentTime();
    const unsigned columns = TimerData->GetColumnCount();
    const unsigned rows = TimerData->GetRowCount();
    const unsigned next = TimerData->GetNextSplitNumber();
    EditSplitsMenuItem->SetEnabled(columns != 0 && !TimerData->IsTimerRunning() && next == 0);
    // Out-of-range rows and columns (no file: row and column wrap below 0) read as 0.
    const unsigned row = next >= rows ? next - 1 : next;
    const unsigned kept = columns - 2;
    const std::int32_t keptTime = TimerData->GetDataCellTimer(row, kept);
    const std::int32_t behind = keptTime != 0 ? WrapSub(t, keptTime) : 0;

    tk::Color timeColor = tk::Color::White();
    if (t < 0) {
        timeColor = tk::Color::DarkGray();
    } else if (behind > 0) {
        timeColor = tk::Color::Red();
    }
    CurrentTimeLabel->SetTextColor(timeColor);
    CurrentTimeLabel->SetText(TenthsText(t, /*showPlus=*/false));

    runState_.OnTick(t);

    if (!TimerData->IsTimerRunning()) {
        StatusLabel->SetTextColor(tk::Color::White());
        std::string_view status = rows > 0 && next >= rows ? "DONE!" : "Ready";
        if (const std::string_view notice = hotkeyRouter_.Notice(); !notice.empty()) {
            status = notice;
        }
        StatusLabel->SetText(status);
        return;
    }
    std::int32_t segment = 0;
    if (keptTime != 0) {
        segment = behind;
        if (row > 0) {
            segment = WrapSub(segment, TimerData->GetDataCellTimerDiff(row - 1, kept));
        }
    }
    StatusLabel->SetTextColor(ColorOfSign(segment));
    StatusLabel->SetText(TenthsText(segment, /*showPlus=*/true));
}

// ---- Grid display construction ----

void AppDelegate::ClearDisplayGrid() {
    for (auto& columns : DisplayGrid) {
        for (auto& slots : columns) {
            for (tk::Label* label : slots) {
                if (label != nullptr) {
                    label->RemoveFromParent();
                }
            }
        }
    }
    DisplayGrid.clear();
}

void AppDelegate::CreateScreen() {
    ClearDisplayGrid();
    const unsigned columns = TimerData->GetColumnCount();
    if (columns == 0) {
        return;
    }
    const unsigned rows = TimerData->GetRowCount();
    const double rowHeight = HideDiffRows ? kRowHeightNoDiffs : kRowHeight;
    const int hideBest = HideBestSplits ? 1 : 0;
    const int hideCurrent = HideCurrentSplits ? 1 : 0;
    const std::int64_t contentWidth =
        (static_cast<std::int64_t>(columns) - hideBest - hideCurrent) *
            static_cast<std::int64_t>(kDataColumnWidth) +
        static_cast<std::int64_t>(kGridLeft + kHeaderColumnWidth);
    const std::int64_t contentHeight =
        static_cast<std::int64_t>(rowHeight) * rows + static_cast<std::int64_t>(kGridBottomSpace);

    // The window fits the grid, keeping its top edge, but never reaches past the screen's
    // visible area: the grid scrolls instead. Too tall for the room below its top edge, it
    // keeps that edge when a few rows still fit below it and moves up to the top of the
    // visible area otherwise, and then takes the room there is.
    std::int64_t windowHeight =
        Trunc(HeaderPanel->Frame().height + static_cast<double>(contentHeight) + kTitleBar);
    const tk::Rect visible = tk::Screen::MainVisibleFrame();
    tk::Rect frame = window->Frame();
    double windowTop = frame.y + frame.height;
    if (static_cast<double>(windowHeight) > windowTop - visible.y) {
        if (windowTop - visible.y < kInitialHeight || windowTop > visible.MaxY()) {
            windowTop = visible.MaxY();
        }
        windowHeight = std::min(windowHeight, Trunc(windowTop - visible.y));
    }
    frame.y = windowTop - static_cast<double>(windowHeight);
    frame.height = static_cast<double>(windowHeight);
    // Never narrower than the laid-out window, which holds the menu bar and keeps the
    // counters clear of the status text.
    frame.width = std::max(static_cast<double>(contentWidth), kInitialWidth);
    window->SetFrame(frame, /*display=*/true);

    tk::Rect document = ScrollBoxContent->Frame();
    document.height = static_cast<double>(contentHeight);
    if (document.width < static_cast<double>(contentWidth)) {
        document.width = static_cast<double>(contentWidth);
    }
    ScrollBoxContent->SetFrame(document);

    const tk::Rect box = ScrollBox->Frame();
    const double top = static_cast<double>(
        Trunc(static_cast<double>(windowHeight) - box.y - box.height - kTitleBar - 2));

    DisplayGrid.assign(rows + 1, std::vector<std::array<tk::Label*, 2>>(columns + 1));
    AttemptsPanel->SetHidden(HideAttemptsCounters || (HideBestSplits && HideCurrentSplits));

    const auto columnX = [&](unsigned k) {
        return kGridLeft + kHeaderColumnWidth +
               (static_cast<double>(k) - hideBest) * kDataColumnWidth;
    };
    const auto hidden = [&](unsigned k) {
        return (k == 0 && HideBestSplits) || (k == columns - 1 && HideCurrentSplits);
    };

    tk::Label* description = HeaderPanel->AddLabel(
        MakeGridLabel({kGridLeft, top - kHeaderLabelHeight, kHeaderColumnWidth, kHeaderLabelHeight},
                      TimerData->GetFullFileDesc(), tk::TextAlignment::kLeft, tk::Color::White()));
    PutTimerLabelInGrid(0, 0, /*mainLabel=*/true, description);

    for (unsigned k = 0; k < columns; ++k) {
        if (hidden(k)) {
            continue;
        }
        tk::Label* header = HeaderPanel->AddLabel(MakeGridLabel(
            {columnX(k), top - kHeaderLabelHeight, kDataColumnWidth, kHeaderLabelHeight},
            TimerData->GetFullColumnHeader(k), tk::TextAlignment::kRight, tk::Color::White()));
        PutTimerLabelInGrid(0, static_cast<int>(k + 1), /*mainLabel=*/true, header);
    }

    const double height = static_cast<double>(contentHeight);
    for (unsigned i = 0; i < rows; ++i) {
        const double rowTop = height - i * rowHeight;
        tk::Label* header = ScrollBoxContent->AddLabel(
            MakeGridLabel({kGridLeft, rowTop - rowHeight, kHeaderColumnWidth, rowHeight},
                          TimerData->GetFullRowHeader(i), tk::TextAlignment::kLeft));
        PutTimerLabelInGrid(static_cast<int>(i + 1), 0, /*mainLabel=*/true, header);
    }

    for (unsigned r = 1; r <= rows; ++r) {
        const double rowTop = height - (r - 1) * rowHeight;
        for (unsigned c = 1; c <= columns; ++c) {
            if (hidden(c - 1)) {
                continue;
            }
            const double x = columnX(c - 1);
            tk::Label* time = ScrollBoxContent->AddLabel(
                MakeGridLabel({x, rowTop - kCellLabelHeight, kDataColumnWidth, kCellLabelHeight},
                              "---", tk::TextAlignment::kRight));
            PutTimerLabelInGrid(static_cast<int>(r), static_cast<int>(c), /*mainLabel=*/true, time);
            if (!HideDiffRows) {
                tk::Label* diff = ScrollBoxContent->AddLabel(MakeGridLabel(
                    {x, rowTop - 2 * kCellLabelHeight, kDataColumnWidth, kCellLabelHeight}, "",
                    tk::TextAlignment::kRight));
                PutTimerLabelInGrid(static_cast<int>(r), static_cast<int>(c),
                                    /*mainLabel=*/false, diff);
            }
        }
    }
}

void AppDelegate::UpdateResetCountDisplay() {
    char text[16];
    std::snprintf(text, sizeof text, "%d", TimerData->GetSessionAttemptCount());
    SessionAttemptLabel->SetText(text);
    std::snprintf(text, sizeof text, "%d", TimerData->GetTotalAttemptCount());
    TotalAttemptLabel->SetText(text);
}

// ---- Grid display refresh ----

void AppDelegate::UpdateScreen() {
    const unsigned columns = TimerData->GetColumnCount();
    if (columns == 0) {
        return;
    }
    const unsigned rows = TimerData->GetRowCount();
    const unsigned next = TimerData->GetNextSplitNumber();
    const QuorvelClass& grid = *TimerData;

    for (std::size_t r = 1; r < DisplayGrid.size(); ++r) {
        const auto s = static_cast<unsigned>(r - 1);
        const bool timed = s == next;
        auto& displayColumns = DisplayGrid[r];
        for (std::size_t c = 0; c < displayColumns.size(); ++c) {
            auto& slots = displayColumns[c];
            if (slots.empty() || slots[0] == nullptr) {
                continue;
            }
            tk::Label* main = slots[0];
            tk::Label* diff = slots.size() > 1 ? slots[1] : nullptr;
            const auto d = static_cast<unsigned>(c - 1);
            tk::Color color = timed ? tk::Color::Cyan() : tk::Color::White();
            if (c == 0) {
                main->SetBackgroundColor(tk::Color::Clear());
                main->SetTextColor(color);
                continue;
            }
            const std::int32_t timer = grid.GetDataCellTimer(s, d);
            if (!timed && columns > 1 && c == columns) {
                const std::int32_t delta = WrapSub(timer, grid.GetDataCellTimer(s, d - 1));
                if (delta != 0) {
                    color = ColorOfSign(delta);
                }
            }
            const tk::Color background =
                grid.GetDataCellNotes(s, d).empty() ? tk::Color::Clear() : kHighlightGrey;
            std::int32_t shown = timer;
            if (c == displayColumns.size() - 2 && HideCurrentSplits) {
                const std::int32_t current = grid.GetDataCellTimer(s, d + 1);
                if (current != 0) {
                    shown = current;
                    color = ColorOfSign(grid.GetDataCellTimerDiff(s, d + 1));
                }
            }
            if (shown != 0) {
                main->SetText(LongToTimeString(shown, /*ShowPlus=*/false, /*ShortForm=*/true));
            } else {
                main->SetText("---");
                if (!timed) {
                    color = tk::Color::White();
                }
            }
            main->SetBackgroundColor(background);
            main->SetTextColor(color);
            main->SetToolTip(NoteText(grid.GetDataCellNotes(s, d)));

            if (diff == nullptr) {
                continue;
            }
            const std::int32_t currentTimer = grid.GetDataCellTimer(s, columns - 1);
            if (timer == 0 || currentTimer == 0) {
                diff->SetBackgroundColor(tk::Color::Clear());
                diff->SetText("");
                continue;
            }
            const std::int32_t difference =
                c < columns ? grid.GetDataCellTimerDiff(s, d) : grid.GetDataCellElapsedDiff(s, d);
            tk::Color diffBackground = tk::Color::Clear();
            if (c == 1) {
                const std::int32_t segment = grid.GetDataCellElapsed(s, columns - 1);
                const std::int32_t best = grid.GetDataCellElapsed(s, 0);
                if (segment != 0 && (best == 0 || segment < best)) {
                    diffBackground = kHighlightGrey;
                }
            }
            diff->SetBackgroundColor(diffBackground);
            diff->SetTextColor(ColorOfSign(difference));
            diff->SetText(LongToTimeString(difference, /*ShowPlus=*/true, /*ShortForm=*/true));
        }
    }

    // Keep the split being timed in the middle of the visible part of the grid.
    const double contentHeight = ScrollBoxContent->Frame().height;
    const double visibleHeight = ScrollBox->Frame().height;
    const std::int64_t maxScroll = Trunc(contentHeight - visibleHeight);
    if (maxScroll <= 0 || rows == 0) {
        return;
    }
    const double position = (static_cast<double>(next) + 0.5) * contentHeight / rows;
    std::int64_t target = Trunc(position - visibleHeight / 2);
    if (target < 0) {
        target = 0;
    }
    if (target > maxScroll) {
        target = maxScroll;
    }
    ScrollBox->ScrollToPoint({0, static_cast<double>(maxScroll - target)});
    ScrollBox->ReflectScrolledClipView();
}

// ---- Menu commands ----

bool AppDelegate::InputLockoutPassed() {
    if (LastInputTimer->GetCurrentTime() < DoubleClickDelayTime) {
        return false;
    }
    LastInputTimer->StopTimer();
    LastInputTimer->StartTimer();
    return true;
}

void AppDelegate::DoOpen() {
    tk::OpenPanel panel;
    panel.SetDirectory(RunningFolder);
    if (panel.RunModal() != 1) {
        return;
    }
    // A split file of another timer is offered for import instead of being read as text.
    std::string path = panel.Filename();
    if (SplitTransfer::IsOtherTimersSplitFile(path)) {
        path = SplitTransfer::OfferImport(path);
        if (path.empty()) {
            return;
        }
    }
    OpenSplitFile(path);
}

void AppDelegate::OpenSplitFile(const std::string& path) {
    // A file that is not a split file is refused before it is loaded: the window says what
    // it looks like, the file is left as it is and the open file stays.
    if (!guard_->BeforeOpen(path)) {
        ShowFileState();
        return;
    }
    runState_.Flush();  // the run being left is saved before another file replaces it
    runKept_ = false;
    TimerData->LoadSplitData(path);
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split file that can be read\n", path.c_str());
    } else {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        IniFile->WriteString("Misc", "LastSplitFile", error ? path : absolute.string());
        runState_.OfferUnfinishedRun();
        // A file with mistakes goes to the editor at once: OK writes it mended.
        if (guard_->MendRequested()) {
            EditEngineRoute(*TimerData, nullptr);
        }
    }
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
    OnUpdateTimer();
    ShowFileState();
}

void AppDelegate::OpenMenuClick() {
    DoOpen();
}

void AppDelegate::DoSplitMenuClick() {
    if (!RunUnfinished() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        const bool lastSplit = TimerData->GetNextSplitNumber() + 1 == TimerData->GetRowCount();
        TimerData->DoSplit();
        // The autosave of the best run kept it: the clock stopped and the split being timed
        // went back to row 0. A split refused in the lead-in leaves the clock running.
        runKept_ =
            lastSplit && !TimerData->IsTimerRunning() && TimerData->GetNextSplitNumber() == 0;
    } else {
        StartOrResume();
    }
    AutosaveRunState();
    UpdateScreen();
    ShowFileState();
    AfterFileWrites();
}

void AppDelegate::StartOrResume() {
    if (TimerData->GetCurrentTime() == 0 || runKept_) {
        runKept_ = false;
        TimerData->StartTimer();
        UpdateResetCountDisplay();
    } else {
        TimerData->ResumeTimer();
    }
}

void AppDelegate::SkipSplitMenuClick() {
    if (!RunUnfinished() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        TimerData->SkipSplit();
        AutosaveRunState();
        UpdateScreen();
    }
}

void AppDelegate::UndoSplitMenuClick() {
    if (!RunUnfinished() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        TimerData->UndoSplit();
        AutosaveRunState();
        UpdateScreen();
    }
}

void AppDelegate::PauseResumeMenuClick() {
    if (!RunUnfinished()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        TimerData->StopTimer();
    } else {
        StartOrResume();
    }
    AutosaveRunState();
    UpdateScreen();
    ShowFileState();
}

void AppDelegate::ResetTimerMenuClick() {
    if (TimerData->GetColumnCount() == 0 || !guard_->BeforeReset()) {
        return;
    }
    TimerData->ClearTimer();
    runKept_ = false;
    runState_.Remove();
    UpdateScreen();
    ShowFileState();
    AfterFileWrites();
}

void AppDelegate::SaveSplitsMenuClick() {
    if (TimerData->GetColumnCount() == 0 || TimerData->IsTimerRunning() ||
        !guard_->BeforeSaveRun()) {
        return;
    }
    const bool hadTimes = CurrentRunHasTimes();
    TimerData->KeepCurrentSplits();
    // A keep empties the current run; a refused one leaves it as it was.
    if (hadTimes && !CurrentRunHasTimes()) {
        runKept_ = true;
        runState_.Remove();
    }
    UpdateScreen();
    ShowFileState();
    AfterFileWrites();
}

void AppDelegate::SaveBestSplitsMenuClick() {
    if (TimerData->GetColumnCount() == 0 || TimerData->IsTimerRunning()) {
        return;
    }
    TimerData->UpdateBestSplits();
    UpdateScreen();
    ShowFileState();
    AfterFileWrites();
}

bool AppDelegate::Toggle(tk::MenuItem* item) {
    item->SetState(item->State() == 0 ? 1 : 0);
    return IsOn(item);
}

void AppDelegate::RebuildDisplay() {
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
}

void AppDelegate::HorizontalModeMenuClick() {
    Toggle(HorizontalModeMenuItem);
    RebuildDisplay();
}

void AppDelegate::HideBestSplitsMenuClick() {
    HideBestSplits = Toggle(HideBestSplitsMenuItem);
    RebuildDisplay();
}

void AppDelegate::HideCurrentSplitsMenuClick() {
    HideCurrentSplits = Toggle(HideCurrentSplitsMenuItem);
    RebuildDisplay();
}

void AppDelegate::HideDiffRowsMenuClick() {
    HideDiffRows = Toggle(HideDiffRowsMenuItem);
    RebuildDisplay();
}

void AppDelegate::HideAttemptsCounterMenuClick() {
    HideAttemptsCounters = Toggle(HideAttemptCountersMenuItem);
    RebuildDisplay();
}

void AppDelegate::AutosaveBestSplitsMenuClick() {
    TimerData->AutosaveBestSplits = Toggle(AutosaveBestSplitsMenuItem);
    RebuildDisplay();
}

void AppDelegate::AutosaveBestRunMenuClick() {
    TimerData->AutosaveBestRun = Toggle(AutosaveBestRunMenuItem);
    RebuildDisplay();
}

void AppDelegate::AutosaveSplitStateMenuClick() {
    runState_.SetOn(Toggle(AutosaveSplitStateMenuItem));
    RebuildDisplay();
}

void AppDelegate::QuitMenuClick() {
    if (MayQuit()) {
        tk::Application::Terminate();
    }
}
