#include "AppDelegate.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

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

constexpr char kIniFileName[] = "Quorvel.ini";
constexpr char kAppTitle[] = "Quorvel";
constexpr double kTitleBar = tk::Window::kTitleBarHeight;

// ---- Small helpers ----

// a - b with 32-bit wrap-around, as the engine's clock arithmetic does.
std::int32_t WrappingDiff(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

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

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

// The text of a time to tenths: LongToTimeString without its last digit. 523 -> "5.2".
std::string TenthsText(std::int32_t time, bool showPlus) {
    std::string text = LongToTimeString(time, showPlus, /*ShortForm=*/true);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
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
bool IsOn(const tk::MenuItem* item) {
    return item->State() != 0;
}
int CheckOf(bool on) {
    return on ? 1 : 0;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FolderExists(const std::string& folder) {
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p: creates the folder and its missing parents. True when the folder exists after.
bool MakeFolders(const std::string& folder) {
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        path = folder.substr(0, pos);
        if (path.empty() || path == "/") {
            continue;
        }
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return FolderExists(folder);
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
    defaults.WriteString("Misc", "AutoSaveBestSplits", "N");
    defaults.WriteString("Misc", "AutoSaveBestRun", "N");
    defaults.WriteString("Misc", "AutoSaveSplitState", "Y");
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

AppDelegate::AppDelegate(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

AppDelegate::~AppDelegate() {
    // No key may reach a command while the engines go.
    hotkeys_.reset();
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
        "Open...", [this] { OpenMenuClick(); }, "Ctrl+O");
    file->AddItem("Open Split State...", [this] { OpenSplitStateMenuClick(); });
    file->AddItem("Save Split State", [this] { SaveSplitStateMenuClick(); });
    file->AddSeparator();
    file->AddItem(
        "Save Run", [this] { SaveSplitsMenuClick(); }, "Ctrl+S");
    file->AddItem(
        "Save Best Splits", [this] { SaveBestSplitsMenuClick(); }, "Ctrl+B");
    file->AddSeparator();
    file->AddItem(
        "Quit", [] { tk::Application::Terminate(); }, "Ctrl+Q");

    tk::Menu* timer = bar->AddSubmenu("Timer")->Submenu();
    hotkeyMenuItems_[kSplitHotkey] = timer->AddItem(
        "Start / Split", [this] { TimerMenuCommand(kSplitHotkey); }, "Space");
    hotkeyMenuItems_[kSkipHotkey] = timer->AddItem(
        "Skip Split", [this] { TimerMenuCommand(kSkipHotkey); }, "PgDown");
    hotkeyMenuItems_[kUndoHotkey] = timer->AddItem(
        "Undo Split", [this] { TimerMenuCommand(kUndoHotkey); }, "PgUp");
    hotkeyMenuItems_[kPauseHotkey] = timer->AddItem(
        "Pause / Resume", [this] { TimerMenuCommand(kPauseHotkey); }, "P");
    hotkeyMenuItems_[kResetHotkey] = timer->AddItem(
        "Reset", [this] { TimerMenuCommand(kResetHotkey); }, "Backspace");
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

    tk::Menu* options = bar->AddSubmenu("Options")->Submenu();
    AutosaveBestSplitsMenuItem =
        options->AddItem("Autosave Best Splits", [this] { AutosaveBestSplitsMenuClick(); });
    AutosaveBestRunMenuItem =
        options->AddItem("Autosave Best Run", [this] { AutosaveBestRunMenuClick(); });
    AutosaveSplitStateMenuItem =
        options->AddItem("Autosave Split State", [this] { AutosaveSplitStateMenuClick(); });
    GlobalHotkeysMenuItem =
        options->AddItem("Global Hotkeys", [this] { GlobalHotkeysMenuClick(); });

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

    // First launch: the folder and settings with every option off.
    if (!FolderExists(RunningFolder)) {
        if (!MakeFolders(RunningFolder) || !WriteDefaultIniFile(RunningFolder + kIniFileName)) {
            std::fprintf(stderr, "Quorvel: cannot create the settings folder %s\n",
                         RunningFolder.c_str());
        }
    }

    TimerData = std::make_unique<QuorvelClass>(RunningFolder);
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
    TimerData->BestSplitMinElapsed = ClampToInt32(minSeconds * 100);
    TimerData->AutosaveBestRun = flag("Misc", "AutoSaveBestRun");
    AutosaveBestRunMenuItem->SetState(CheckOf(TimerData->AutosaveBestRun));
    // On unless switched off: a missing key (settings of an older version) means "Y".
    autosaveSplitState_ = IniFile->ReadString("Misc", "AutoSaveSplitState", "Y") == "Y";
    AutosaveSplitStateMenuItem->SetState(CheckOf(autosaveSplitState_));
    SetUpGlobalHotkeys();

    CountersMenu->SetHidden(true);

    // Placement: "Top" counts down from the main screen's top edge.
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    const std::int32_t laidOutLeft = ClampToInt32(Trunc(frame.x));
    const std::int32_t laidOutTop = ClampToInt32(
        Trunc(static_cast<float>(static_cast<double>(screenHeight) - frame.y - frame.height)));
    const std::int32_t left = IniFile->ReadInteger("Window", "Left", laidOutLeft);
    const std::int32_t top = IniFile->ReadInteger("Window", "Top", laidOutTop);
    tk::Rect placed = frame;
    placed.x = left;
    placed.y = static_cast<double>(screenHeight - top) - frame.height;
    window->SetFrame(placed, /*display=*/true);

    if (arguments_.size() > 1 && !arguments_[1].empty()) {
        OpenSplitFile(arguments_[1]);
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
    FlushRunState();
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    IniFile->WriteInteger("Window", "Left", ClampToInt32(Trunc(frame.x)));
    const float top = static_cast<float>(screenHeight) - static_cast<float>(frame.y) -
                      static_cast<float>(frame.height);
    IniFile->WriteInteger("Window", "Top", ClampToInt32(Trunc(top)));

    IniFile->WriteString("Window", "HideBestSplits", YesNo(IsOn(HideBestSplitsMenuItem)));
    IniFile->WriteString("Window", "HideCurrentSplits", YesNo(IsOn(HideCurrentSplitsMenuItem)));
    IniFile->WriteString("Window", "HideDiffRows", YesNo(IsOn(HideDiffRowsMenuItem)));
    IniFile->WriteString("Window", "HideAttemptCounters", YesNo(IsOn(HideAttemptCountersMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveBestSplits", YesNo(IsOn(AutosaveBestSplitsMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveBestRun", YesNo(IsOn(AutosaveBestRunMenuItem)));
    IniFile->WriteString("Misc", "AutoSaveSplitState", YesNo(IsOn(AutosaveSplitStateMenuItem)));
    SaveGlobalHotkeys();
    if (!IniFile->SaveIniFile() && !IniFile->IniFileName.empty()) {
        std::fprintf(stderr, "Quorvel: could not save the settings to %s\n",
                     IniFile->IniFileName.c_str());
    }
}

// ---- Update tick ----

void AppDelegate::OnUpdateTimer() {
    const std::int32_t t = TimerData->GetCurrentTime();
    const unsigned columns = TimerData->GetColumnCount();
    const unsigned rows = TimerData->GetRowCount();
    const unsigned next = TimerData->GetNextSplitNumber();
    // Out-of-range rows and columns (no file: row and column wrap below 0) read as 0.
    const unsigned row = next >= rows ? next - 1 : next;
    const unsigned kept = columns - 2;
    const std::int32_t keptTime = TimerData->GetDataCellTimer(row, kept);
    const std::int32_t behind = keptTime != 0 ? WrappingDiff(t, keptTime) : 0;

    tk::Color timeColor = tk::Color::White();
    if (t < 0) {
        timeColor = tk::Color::DarkGray();
    } else if (behind > 0) {
        timeColor = tk::Color::Red();
    }
    CurrentTimeLabel->SetTextColor(timeColor);
    CurrentTimeLabel->SetText(TenthsText(t, /*showPlus=*/false));

    // Unsigned, so a clock that went back (or wrapped) since the last save saves at once.
    if (autosaveSplitState_ && columns != 0 && TimerData->IsTimerRunning() &&
        static_cast<std::uint32_t>(WrappingDiff(t, lastStateSaveTime_)) >=
            static_cast<std::uint32_t>(kSplitStateSaveInterval)) {
        SaveRunState();
    }

    if (!TimerData->IsTimerRunning()) {
        StatusLabel->SetTextColor(tk::Color::White());
        std::string_view status = rows > 0 && next >= rows ? "DONE!" : "Ready";
        if (HotkeyNoticeShowing()) {
            status = notice_;
        }
        StatusLabel->SetText(status);
        return;
    }
    std::int32_t segment = 0;
    if (keptTime != 0) {
        segment = behind;
        if (row > 0) {
            segment = WrappingDiff(segment, TimerData->GetDataCellTimerDiff(row - 1, kept));
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
    frame.width = static_cast<double>(contentWidth);
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

    DisplayGrid.assign(rows + 1, std::vector<std::vector<tk::Label*>>(
                                     columns + 1, std::vector<tk::Label*>(2, nullptr)));
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
                const std::int32_t delta = WrappingDiff(timer, grid.GetDataCellTimer(s, d - 1));
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
    OpenSplitFile(panel.Filename());
}

void AppDelegate::OpenSplitFile(const std::string& path) {
    FlushRunState();  // the run being left is saved before another file replaces it
    runKept_ = false;
    TimerData->LoadSplitData(path);
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split file that can be read\n", path.c_str());
    } else {
        OfferUnfinishedRun();
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
    if (TimerData->GetColumnCount() == 0 ||
        TimerData->GetNextSplitNumber() >= TimerData->GetRowCount() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        const bool lastSplit = TimerData->GetNextSplitNumber() + 1 == TimerData->GetRowCount();
        TimerData->DoSplit();
        // The autosave of the best run kept it: the split being timed went back to row 0.
        runKept_ = lastSplit && TimerData->GetNextSplitNumber() == 0;
    } else {
        StartOrResume();
    }
    AutosaveRunState();
    UpdateScreen();
    ShowFileState();
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
    if (TimerData->GetColumnCount() == 0 ||
        TimerData->GetNextSplitNumber() >= TimerData->GetRowCount() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        TimerData->SkipSplit();
        AutosaveRunState();
        UpdateScreen();
    }
}

void AppDelegate::UndoSplitMenuClick() {
    if (TimerData->GetColumnCount() == 0 ||
        TimerData->GetNextSplitNumber() >= TimerData->GetRowCount() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        TimerData->UndoSplit();
        AutosaveRunState();
        UpdateScreen();
    }
}

void AppDelegate::PauseResumeMenuClick() {
    if (TimerData->GetColumnCount() == 0 ||
        TimerData->GetNextSplitNumber() >= TimerData->GetRowCount()) {
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
    if (TimerData->GetColumnCount() == 0) {
        return;
    }
    TimerData->ClearTimer();
    runKept_ = false;
    RemoveRunState();
    UpdateScreen();
    ShowFileState();
}

void AppDelegate::SaveSplitsMenuClick() {
    if (TimerData->GetColumnCount() == 0 || TimerData->IsTimerRunning()) {
        return;
    }
    const bool hadTimes = CurrentRunHasTimes();
    TimerData->KeepCurrentSplits();
    // A keep empties the current run; a refused one leaves it as it was.
    if (hadTimes && !CurrentRunHasTimes()) {
        runKept_ = true;
        RemoveRunState();
    }
    UpdateScreen();
    ShowFileState();
}

void AppDelegate::SaveBestSplitsMenuClick() {
    if (TimerData->GetColumnCount() == 0 || TimerData->IsTimerRunning()) {
        return;
    }
    TimerData->UpdateBestSplits();
    UpdateScreen();
    ShowFileState();
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
    autosaveSplitState_ = Toggle(AutosaveSplitStateMenuItem);
    if (!autosaveSplitState_) {
        CancelRunStateSave();
    }
    RebuildDisplay();
}

// ---- Split state ----

void AppDelegate::SaveSplitStateMenuClick() {
    if (TimerData->GetColumnCount() == 0) {
        return;
    }
    SaveRunState();
}

void AppDelegate::OpenSplitStateMenuClick() {
    tk::OpenPanel panel;
    panel.SetDirectory(RunningFolder);
    if (panel.RunModal() != 1) {
        return;
    }
    FlushRunState();
    runKept_ = false;
    TimerData->LoadSplitStateData(panel.Filename());
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split state that can be read\n",
                     panel.Filename().c_str());
    }
    lastStateSaveTime_ = TimerData->GetCurrentTime();
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
    OnUpdateTimer();
    ShowFileState();
}

std::string AppDelegate::UnfinishedRunQuestion(std::int32_t runTime, unsigned doneSplits,
                                               unsigned rowCount) {
    char counts[48];
    std::snprintf(counts, sizeof counts, ", %u of %u splits done", doneSplits, rowCount);
    return "An unfinished run was found (" + TenthsText(runTime, /*showPlus=*/false) + counts +
           "). Resume it?";
}

bool AppDelegate::CurrentRunHasTimes() {
    const unsigned columns = TimerData->GetColumnCount();
    for (unsigned row = 0; columns != 0 && row < TimerData->GetRowCount(); ++row) {
        if (TimerData->GetDataCellTimer(row, columns - 1) != 0) {
            return true;
        }
    }
    return false;
}

void AppDelegate::SaveRunState() {
    CancelRunStateSave();
    lastStateSaveTime_ = TimerData->GetCurrentTime();
    TimerData->SaveSplitStateData();
}

void AppDelegate::CancelRunStateSave() {
    stateSavePending_ = false;
    if (stateSaveTimer_) {
        stateSaveTimer_->Stop();
    }
}

void AppDelegate::FlushRunState() {
    if (!stateSavePending_) {
        return;
    }
    CancelRunStateSave();
    if (autosaveSplitState_ && TimerData && TimerData->GetColumnCount() != 0) {
        SaveRunState();
    }
}

void AppDelegate::RemoveRunState() {
    CancelRunStateSave();
    if (!autosaveSplitState_ || TimerData->GetColumnCount() == 0) {
        return;
    }
    const std::string path = TimerData->SplitStatePath();
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "Quorvel: could not remove the split state %s\n", path.c_str());
    }
}

void AppDelegate::AutosaveRunState() {
    if (!autosaveSplitState_ || TimerData->GetColumnCount() == 0) {
        return;
    }
    if (runKept_ || TimerData->GetNextSplitNumber() >= TimerData->GetRowCount()) {
        RemoveRunState();
        return;
    }
    if (!stateSaveTimer_) {
        stateSaveTimer_ =
            std::make_unique<tk::RepeatingTimer>(kStateSaveDelay, [this] { FlushRunState(); });
    }
    stateSavePending_ = true;
    if (!stateSaveTimer_->IsActive()) {
        stateSaveTimer_->Start();
    }
}

void AppDelegate::OfferUnfinishedRun() {
    if (!autosaveSplitState_) {
        return;
    }
    const std::string splitPath = TimerData->SplitFileName;
    const std::string statePath = TimerData->SplitStatePath();
    // The name the state file gives its split file: the part after the last '/', '\' or ':'.
    const std::string name = splitPath.substr(splitPath.find_last_of("/\\:") + 1);
    SplitStateHeader header;
    if (!ReadSplitStateHeader(statePath, &header) || header.SplitFileName != name ||
        header.RunTime == 0) {
        return;
    }
    // The splits the run comes back with: the loader always leaves the last row to run.
    const unsigned rows = TimerData->GetRowCount();
    const auto saved = static_cast<std::uint32_t>(header.NextSplit);
    const unsigned done = rows == 0 ? 0 : (saved > rows - 1 ? rows - 1 : saved);

    tk::Alert alert;
    alert.SetMessageText(UnfinishedRunQuestion(header.RunTime, done, rows));
    alert.AddButton("Resume");
    alert.AddButton("Discard");
    questionOpen_ = true;
    const int answer = alert.RunModal();
    questionOpen_ = false;
    if (answer == tk::Alert::kClosed) {
        return;  // no answer: the run stays on disk and is offered again next time
    }
    if (answer == 0) {
        TimerData->LoadSplitStateData(statePath);
        if (TimerData->GetColumnCount() == 0) {
            // The state changed under us since it was read: keep the fresh load.
            TimerData->LoadSplitData(splitPath);
        }
        lastStateSaveTime_ = TimerData->GetCurrentTime();
        return;
    }
    if (std::remove(statePath.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "Quorvel: could not remove the split state %s\n", statePath.c_str());
    }
}

// ---- Title and save failures ----

void AppDelegate::ShowFileState() {
    const std::string& path = TimerData->SplitFileName;
    const bool failed = !path.empty() && TimerData->LastSaveFailed;
    std::string title = kAppTitle;
    if (!path.empty()) {
        title += " - " + BaseName(path);
        if (failed) {
            title += " (not saved!)";
        }
    }
    if (window->Title() != title) {
        window->SetTitle(title);
    }
    // One line per failure: again only after a write has succeeded or another file is open.
    if (failed && (!saveFailureReported_ || reportedFile_ != path)) {
        std::fprintf(stderr, "Quorvel: could not save the split file %s\n", path.c_str());
        saveFailureReported_ = true;
        reportedFile_ = path;
    } else if (!failed) {
        saveFailureReported_ = false;
    }
}

// ---- Global hotkeys ----

namespace {

constexpr char kHotkeysSection[] = "Hotkeys";
constexpr char kGlobalHotkeysKey[] = "GlobalHotkeys";

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

const std::array<AppDelegate::HotkeySetting, AppDelegate::kHotkeyCount>
    AppDelegate::kHotkeySettings = {{
        {"Split", "Num+1", "Start / Split", &AppDelegate::DoSplitMenuClick},
        {"Skip", "Num+2", "Skip Split", &AppDelegate::SkipSplitMenuClick},
        {"Undo", "Num+8", "Undo Split", &AppDelegate::UndoSplitMenuClick},
        {"Pause", "Num+5", "Pause / Resume", &AppDelegate::PauseResumeMenuClick},
        {"Reset", "Num+3", "Reset", &AppDelegate::ResetTimerMenuClick},
    }};

void AppDelegate::SetUpGlobalHotkeys() {
    const char* trace = std::getenv("QUORVEL_TRACE_SPLITS");
    traceSplits_ = trace != nullptr && std::string_view(trace) == "1";
    hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
        [this](const std::string& message) { HotkeyReport(message); });
    for (int i = 0; i < kHotkeyCount; ++i) {
        const auto command = static_cast<HotkeyCommand>(i);
        const HotkeySetting& setting = kHotkeySettings[static_cast<std::size_t>(i)];
        std::string& name = hotkeyNames_[static_cast<std::size_t>(i)];
        auto& hotkey = hotkeySpecs_[static_cast<std::size_t>(i)];
        name = IniFile->ReadString(kHotkeysSection, setting.Key, setting.DefaultName);
        hotkey.reset();
        if (name.empty()) {
            continue;
        }
        tk::HotkeySpec key;
        if (!tk::ParseHotkeyName(name, &key)) {
            std::fprintf(stderr, "Quorvel: the global hotkey %s=%s is not a key name; it is off\n",
                         setting.Key, name.c_str());
            continue;
        }
        const HotkeySetting* owner = nullptr;
        for (int j = 0; j < i; ++j) {
            if (hotkeySpecs_[static_cast<std::size_t>(j)] == key) {
                owner = &kHotkeySettings[static_cast<std::size_t>(j)];
                break;
            }
        }
        if (owner != nullptr) {
            std::fprintf(stderr, "Quorvel: the global hotkey %s=%s is the key of %s; it is off\n",
                         setting.Key, name.c_str(), owner->Key);
            continue;
        }
        hotkey = key;
        hotkeys_->Bind(
            i, key, [this, command] { GlobalHotkeyPressed(command); }, setting.Title);
    }
    const bool on = IniFile->ReadString(kHotkeysSection, kGlobalHotkeysKey, "") == "Y";
    GlobalHotkeysMenuItem->SetState(CheckOf(on));
    if (on) {
        StartGlobalHotkeys();
    }
}

void AppDelegate::SaveGlobalHotkeys() {
    IniFile->WriteString(kHotkeysSection, kGlobalHotkeysKey, YesNo(IsOn(GlobalHotkeysMenuItem)));
    if (hotkeys_) {
        for (std::size_t i = 0; i < kHotkeySettings.size(); ++i) {
            IniFile->WriteString(kHotkeysSection, kHotkeySettings[i].Key, hotkeyNames_[i]);
        }
        hotkeys_->Stop();
    }
}

void AppDelegate::StartGlobalHotkeys() {
    hotkeys_->SetEnabled(true);
    hotkeys_->Start();  // a failure is reported through HotkeyReport
}

void AppDelegate::GlobalHotkeysMenuClick() {
    const bool on = Toggle(GlobalHotkeysMenuItem);
    if (!hotkeys_) {
        return;  // before launch: the check alone, taken up by SetUpGlobalHotkeys
    }
    if (on) {
        StartGlobalHotkeys();
    } else {
        hotkeys_->SetEnabled(false);
        hotkeys_->Stop();
    }
}

void AppDelegate::HotkeyReport(const std::string& message) {
    std::fprintf(stderr, "Quorvel: %s\n", message.c_str());
    notice_ = hotkeys_ && hotkeys_->IsRunning() ? "Hotkeys limited" : "Menu keys only";
    noticeAt_ = ClockNow();
}

bool AppDelegate::HotkeyNoticeShowing() {
    if (notice_.empty()) {
        return false;
    }
    if (WrappingDiff(ClockNow(), noticeAt_) >= kHotkeyNoticeTime) {
        notice_.clear();
        return false;
    }
    return true;
}

const tk::HotkeySpec* AppDelegate::GlobalHotkeySpec(HotkeyCommand command) const {
    const auto& hotkey = hotkeySpecs_.at(static_cast<std::size_t>(command));
    return hotkey ? &*hotkey : nullptr;
}

const std::string& AppDelegate::GlobalHotkeyName(HotkeyCommand command) const {
    return hotkeyNames_.at(static_cast<std::size_t>(command));
}

void AppDelegate::GlobalHotkeyPressed(HotkeyCommand command) {
    const tk::HotkeySpec* key = GlobalHotkeySpec(command);
    if (key == nullptr || !TimerData || questionOpen_) {
        return;
    }
    const std::int32_t now = ClockNow();
    if (lastMenuKey_.Set && lastMenuKey_.Key == *key &&
        WrappingDiff(now, lastMenuKey_.At) < kSameKeyWindow) {
        lastMenuKey_.Set = false;  // the same press, come the other way: taken already
        return;
    }
    lastGlobalKey_ = {*key, now, true};
    RunHotkeyCommand(command, "global");
}

void AppDelegate::TimerMenuCommand(HotkeyCommand command) {
    const tk::MenuItem* item = hotkeyMenuItems_.at(static_cast<std::size_t>(command));
    tk::HotkeySpec key;
    if (item != nullptr && tk::ParseHotkeyName(item->KeyEquivalent(), &key)) {
        const std::int32_t now = ClockNow();
        if (lastGlobalKey_.Set && lastGlobalKey_.Key == key &&
            WrappingDiff(now, lastGlobalKey_.At) < kSameKeyWindow) {
            lastGlobalKey_.Set = false;
            return;
        }
        lastMenuKey_ = {key, now, true};
    }
    RunHotkeyCommand(command, "menu");
}

void AppDelegate::RunHotkeyCommand(HotkeyCommand command, const char* route) {
    const auto action = kHotkeySettings.at(static_cast<std::size_t>(command)).Action;
    if (!traceSplits_ || command != kSplitHotkey || !TimerData) {
        (this->*action)();
        return;
    }
    // The engine reads its clock for the split right at the start of the action.
    const unsigned nextBefore = TimerData->GetNextSplitNumber();
    const bool runningBefore = TimerData->IsTimerRunning();
    const std::int64_t dispatchedNs = MonotonicNs();
    (this->*action)();
    const std::int64_t doneNs = MonotonicNs();
    if (TimerData->GetNextSplitNumber() == nextBefore &&
        TimerData->IsTimerRunning() == runningBefore) {
        return;
    }
    const bool global = std::string_view(route) == "global";
    const tk::HotkeyEvent& event = hotkeys_ ? hotkeys_->LastEvent() : tk::HotkeyEvent{};
    std::fprintf(stderr,
                 "quorvel-trace split=%u route=%s dispatched_ns=%lld done_ns=%lld "
                 "press_server_ms=%u received_ns=%lld\n",
                 nextBefore, route, static_cast<long long>(dispatchedNs),
                 static_cast<long long>(doneNs), global ? event.ServerTimeMs : 0u,
                 static_cast<long long>(global ? event.ReceivedNs : 0));
}
