// The delegate's life, start-up and shutdown with the settings, the update tick, and the
// commands of the Timer and View menus and of File ▸ Open…. The window description, the grid
// display and the other commands live beside it (WindowDescription.cpp, GridDisplay.cpp,
// commands/).
#include "AppDelegate.h"
#include "AppDelegateShared.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "GridCells.h"
#include "NumberText.h"
#include "Prompts.h"
#include "SplitTransfer.h"
#include "SplitsPanel.h"
#include "TimeDisplay.h"
#include "WindowPlacement.h"
#include "WrapTime.h"

std::unique_ptr<QuorvelClass> TimerData;
std::unique_ptr<QuorvelClass> LastInputTimer;
std::unique_ptr<Settings> IniFile;
std::string RunningFolder;
bool HideBestSplits = false;
bool HideCurrentSplits = false;
bool HideDiffRows = false;
bool HideAttemptsCounters = false;
std::int32_t DoubleClickDelayTime = 0;

namespace {

using shell::CheckOf;
using shell::ColorOfSign;
using shell::IsOn;
using shell::Trunc;

constexpr char kIniFileName[] = "Quorvel.ini";

}  // namespace

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
      hotkeyRouter_([this](HotkeyCommand command) { RunCommand(command); }, TimerData),
      look_([this] {
          splits_->SetZoom(look_.Zoom());
          if (TimerData && (TimerData->GetColumnCount() != 0 || layout_ == Layout::kSplits)) {
              RebuildDisplay();  // the window sized again for the screen at the new zoom
          }
      }) {}

AppDelegate::~AppDelegate() {
    // No key and no outside command may reach a command while the engines go.
    hotkeyRouter_.Close();
    outside_.Close();
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

    TimerData = std::make_unique<QuorvelClass>(RunningFolder);
    guard_ = std::make_unique<ResultGuard>(*TimerData);
    LastInputTimer = std::make_unique<QuorvelClass>(RunningFolder);
    LastInputTimer->StartOffset = -33;
    LastInputTimer->StartTimer();

    TextUpdateTimer = tk::RepeatingTimer::Schedule(0.075, [this] { OnUpdateTimer(); });

    // First launch, or settings deleted or unreadable: the first-launch settings, written.
    IniFile = std::make_unique<Settings>();
    IniFile->Open(RunningFolder + kIniFileName);
    if (!IniFile->Trouble().empty()) {
        Ask(Notice("Your settings were started afresh.", IniFile->Trouble()));
    }
    IniFile->OnWriteFailure([](const std::string& reason) {
        Ask(Notice("Your settings could not be saved (" + reason + ").",
                   "They last until Quorvel quits; " + IniFile->Path() + " was left as it was."));
    });

    HideBestSplits = IniFile->Get(kHideBestSplits);
    HideBestSplitsMenuItem->SetState(CheckOf(HideBestSplits));
    HideCurrentSplits = IniFile->Get(kHideCurrentSplits);
    HideCurrentSplitsMenuItem->SetState(CheckOf(HideCurrentSplits));
    HideDiffRows = IniFile->Get(kHideDiffRows);
    HideDiffRowsMenuItem->SetState(CheckOf(HideDiffRows));

    AttemptsPanel->SetHidden(true);

    HideAttemptsCounters = IniFile->Get(kHideAttemptCounters);
    HideAttemptCountersMenuItem->SetState(CheckOf(HideAttemptsCounters));

    TimerData->AutosaveBestSplits = IniFile->Get(kAutoSaveBestSplits);
    AutosaveBestSplitsMenuItem->SetState(CheckOf(TimerData->AutosaveBestSplits));
    TimerData->BestSplitMinElapsed =
        SaturateToInt32(std::int64_t{IniFile->Get(kBestSplitMinElapsedSec)} * 100);
    TimerData->AutosaveBestRun = IniFile->Get(kAutoSaveBestRun);
    AutosaveBestRunMenuItem->SetState(CheckOf(TimerData->AutosaveBestRun));
    runState_.SetOn(IniFile->Get(kAutoSaveSplitState));
    AutosaveSplitStateMenuItem->SetState(CheckOf(runState_.IsOn()));
    guard_->AskBeforeLosingResults = IniFile->Get(kAskBeforeLosingResults);
    AskBeforeLosingResultsMenuItem->SetState(CheckOf(guard_->AskBeforeLosingResults));
    const bool hotkeysOn = hotkeyRouter_.SetUp(*IniFile);
    GlobalHotkeysMenuItem->SetState(CheckOf(hotkeysOn));

    CountersMenu->SetHidden(true);

    // The zoom first: "Left" and "Top" are points at the zoom they were saved with.
    look_.Read(*IniFile, *window, kLabelFontSize, {0, 0, kInitialWidth, kInitialHeight});
    AlwaysOnTopMenuItem->SetState(CheckOf(look_.AlwaysOnTop()));
    // The layout, its look and the menu bar, the window sized for them before it is placed.
    splits_->SetZoom(look_.Zoom());
    splits_->Read(*IniFile, look_.Background());
    ApplyAppearance(splits_->Look());
    if (look_.Background() != window->BackgroundColor()) {
        look_.SetBackground(window->BackgroundColor());  // one background for both views
    }
    HideMenuBarMenuItem->SetState(CheckOf(IniFile->Get(kHideMenuBar)));
    window->SetMenuBarHidden(IniFile->Get(kHideMenuBar));
    layout_ = IniFile->Get(kLayout) == "Splits" ? Layout::kSplits : Layout::kGrid;
    ApplyLayout();

    // Placement: "Top" counts down from the main screen's top edge.
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    const std::int32_t laidOutLeft = SaturateToInt32(Trunc(frame.x));
    const std::int32_t laidOutTop = SaturateToInt32(
        Trunc(static_cast<float>(static_cast<double>(screenHeight) - frame.y - frame.height)));
    // Held to the screen: a monitor that is gone or a hand-edited value never puts the
    // window out of sight.
    const WindowOrigin origin =
        ClampWindowOrigin(IniFile->Find(kLeft).value_or(laidOutLeft),
                          IniFile->Find(kTop).value_or(laidOutTop), Trunc(frame.width),
                          Trunc(frame.height), Trunc(tk::Screen::MainFrame().width), screenHeight);
    tk::Rect placed = frame;
    placed.x = origin.Left;
    placed.y = static_cast<double>(screenHeight - origin.Top) - frame.height;
    window->SetFrame(placed, /*display=*/true);

    if (arguments_.size() > 1 && !arguments_[1].empty()) {
        OpenSplitFile(arguments_[1]);
    } else {
        // The split file of the last session, when it is still there to be read.
        const std::string last = IniFile->Get(kLastSplitFile);
        std::error_code unreadable;
        if (!last.empty() && std::filesystem::is_regular_file(last, unreadable) &&
            ::access(last.c_str(), R_OK) == 0) {
            OpenSplitFile(last);
        }
    }
    // Started once it is known whether this window may write its split file.
    FollowOwnership();
    if (hotkeysOn) {
        hotkeyRouter_.SetOn(true);
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
    if (TimerData) {
        KeepUnfinishedRun();
        history_.Left();
    }
    history_.Close();
    const tk::Rect frame = window->Frame();
    const std::int64_t screenHeight = Trunc(tk::Screen::MainFrame().height);
    IniFile->Put(kLeft, SaturateToInt32(Trunc(frame.x)));
    const float top = static_cast<float>(screenHeight) - static_cast<float>(frame.y) -
                      static_cast<float>(frame.height);
    IniFile->Put(kTop, SaturateToInt32(Trunc(top)));
    for (const auto& [item, setting] : CheckItemSettings()) {
        IniFile->Put(*setting, IsOn(item));
    }
    hotkeyRouter_.Save(*IniFile, IsOn(GlobalHotkeysMenuItem));
    look_.Put(*IniFile);
    IniFile->Write();
}

std::array<std::pair<tk::MenuItem*, const Setting<bool>*>, 8> AppDelegate::CheckItemSettings()
    const {
    return {{
        {HideBestSplitsMenuItem, &kHideBestSplits},
        {HideCurrentSplitsMenuItem, &kHideCurrentSplits},
        {HideDiffRowsMenuItem, &kHideDiffRows},
        {HideAttemptCountersMenuItem, &kHideAttemptCounters},
        {AutosaveBestSplitsMenuItem, &kAutoSaveBestSplits},
        {AutosaveBestRunMenuItem, &kAutoSaveBestRun},
        {AutosaveSplitStateMenuItem, &kAutoSaveSplitState},
        {AskBeforeLosingResultsMenuItem, &kAskBeforeLosingResults},
    }};
}

// ---- Update tick ----

void AppDelegate::OnUpdateTimer() {
    // A split-state save runs a moment after its command: its failure shows at the next tick.
    if (TimerData && TimerData->LastStateSaveFailed != stateFailureShown_) {
        ShowFileState();
    }
    // So does a write of the history, on its own thread.
    if (history_.Problem() != historyProblemShown_) {
        ShowFileState();
    }
    const std::int32_t t = TimerData->GetCurrentTime();
    EditSplitsMenuItem->SetEnabled(TimerData->GetColumnCount() != 0 &&
                                   !TimerData->IsTimerRunning() &&
                                   TimerData->GetNextSplitNumber() == 0);
    StatisticsMenuItem->SetEnabled(TimerData->GetColumnCount() != 0);
    if (layout_ == Layout::kSplits) {
        splits_->Tick(*TimerData);
        runState_.OnTick(t);
        outside_.OnTick();
        return;
    }
    // A finished run held on screen is read as the engine had it at its last split.
    const GridCells grid(*TimerData, gridRun_);
    const unsigned columns = grid.Columns();
    const unsigned rows = grid.Rows();
    const unsigned next = grid.Next();
    // Out-of-range rows and columns (no file: row and column wrap below 0) read as 0.
    const unsigned row = next >= rows ? next - 1 : next;
    const unsigned kept = columns - 2;
    const std::int32_t keptTime = grid.Timer(row, kept);
    const std::int32_t behind = keptTime != 0 ? WrapSub(t, keptTime) : 0;

    tk::Color timeColor = gridText_;
    if (t < 0) {
        timeColor = tk::Color::DarkGray();
    } else if (behind > 0) {
        timeColor = tk::Color::Red();
    }
    CurrentTimeLabel->SetTextColor(timeColor);
    CurrentTimeLabel->SetText(TenthsText(t, /*showPlus=*/false));

    runState_.OnTick(t);
    outside_.OnTick();

    if (!TimerData->IsTimerRunning()) {
        StatusLabel->SetTextColor(gridText_);
        std::string_view status = rows > 0 && next >= rows ? "DONE!" : "Ready";
        if (const std::string_view notice = hotkeyRouter_.Notice(); !notice.empty()) {
            status = notice;
        } else if (const std::string_view trouble = outside_.Notice(); !trouble.empty()) {
            status = trouble;
        }
        StatusLabel->SetText(status);
        return;
    }
    std::int32_t segment = 0;
    if (keptTime != 0) {
        segment = behind;
        if (row > 0) {
            segment = WrapSub(segment, grid.TimerDiff(row - 1, kept));
        }
    }
    StatusLabel->SetTextColor(ColorOfSign(segment, gridText_));
    StatusLabel->SetText(TenthsText(segment, /*showPlus=*/true));
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
    const std::optional<std::string> chosen =
        ChooseFile(FileChoice::Existing("Open", RunningFolder));
    if (!chosen) {
        return;
    }
    // A split file of another timer is offered for import instead of being read as text.
    std::string path = *chosen;
    if (SplitTransfer::IsOtherTimersSplitFile(path)) {
        path = SplitTransfer::OfferImport(path);
        if (path.empty()) {
            return;
        }
    }
    OpenSplitFile(path);
}

void AppDelegate::OpenSplitFile(const std::string& path) {
    // The results of the open file first; then a file that is not a split file is refused
    // before it is loaded: the window says what it looks like, the file is left as it is and
    // the open file stays.
    if (!LeaveRoute()) {
        return;
    }
    if (!guard_->BeforeOpen(path)) {
        ShowFileState();
        return;
    }
    runKept_ = false;
    history_.Left();
    TimerData->LoadSplitData(path);
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split file that can be read\n", path.c_str());
        history_.Close();
    } else {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        IniFile->Set(kLastSplitFile, error ? path : absolute.string());
        OpenHistory(runState_.OfferUnfinishedRun());
        // A file with mistakes goes to the editor at once: OK writes it mended.
        if (guard_->MendRequested()) {
            EditRoute();
        }
    }
    FollowOwnership();
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
    OnUpdateTimer();
    ShowFileState();
}

void AppDelegate::FollowOwnership() {
    if (!IniFile) {
        return;  // not launched
    }
    hotkeyRouter_.SetOwnsSplitFile(!TimerData->ReadOnly);
    outside_.Follow(*IniFile);
}

void AppDelegate::OpenMenuClick() {
    DoOpen();
}

void AppDelegate::DoSplitMenuClick() {
    if (!RunUnfinished() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        const unsigned row = TimerData->GetNextSplitNumber();
        const bool lastSplit = row + 1 == TimerData->GetRowCount();
        TimerData->DoSplit();
        const bool stopped = !TimerData->IsTimerRunning();
        // The autosave of the best run kept it: the clock stopped and the split being timed
        // went back to row 0. A split refused in the lead-in leaves the clock running.
        runKept_ = lastSplit && stopped && TimerData->GetNextSplitNumber() == 0;
        if (stopped || TimerData->GetNextSplitNumber() != row) {
            history_.SplitMade(row);
        }
        if (lastSplit && stopped) {
            history_.Finished();
        }
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
        history_.Started();
        historyToSplits_.Post();
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
        const unsigned row = TimerData->GetNextSplitNumber();
        TimerData->SkipSplit();
        if (TimerData->GetNextSplitNumber() != row) {
            history_.SplitSkipped(row);
        }
        AutosaveRunState();
        UpdateScreen();
    }
}

void AppDelegate::UndoSplitMenuClick() {
    if (!RunUnfinished() || !InputLockoutPassed()) {
        return;
    }
    if (TimerData->IsTimerRunning()) {
        const unsigned row = TimerData->GetNextSplitNumber();
        TimerData->UndoSplit();
        if (TimerData->GetNextSplitNumber() != row) {
            history_.SplitUndone(TimerData->GetNextSplitNumber());
        }
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
    history_.Reset();
    historyToSplits_.Post();
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
    // A keep empties the current run; a refused one leaves it as it was, and is said.
    if (hadTimes && !CurrentRunHasTimes()) {
        runKept_ = true;
        runState_.Remove();
    } else if (hadTimes) {
        Ask(Notice("This run was not kept.",
                   "The split file has no stored run to keep it in. The run stays on the screen "
                   "until it is reset."));
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
    IniFile->Set(kHideBestSplits, HideBestSplits);
    RebuildDisplay();
}

void AppDelegate::HideCurrentSplitsMenuClick() {
    HideCurrentSplits = Toggle(HideCurrentSplitsMenuItem);
    IniFile->Set(kHideCurrentSplits, HideCurrentSplits);
    RebuildDisplay();
}

void AppDelegate::HideDiffRowsMenuClick() {
    HideDiffRows = Toggle(HideDiffRowsMenuItem);
    IniFile->Set(kHideDiffRows, HideDiffRows);
    RebuildDisplay();
}

void AppDelegate::HideAttemptsCounterMenuClick() {
    HideAttemptsCounters = Toggle(HideAttemptCountersMenuItem);
    IniFile->Set(kHideAttemptCounters, HideAttemptsCounters);
    RebuildDisplay();
}

void AppDelegate::AutosaveBestSplitsMenuClick() {
    TimerData->AutosaveBestSplits = Toggle(AutosaveBestSplitsMenuItem);
    IniFile->Set(kAutoSaveBestSplits, TimerData->AutosaveBestSplits);
    RebuildDisplay();
}

void AppDelegate::AutosaveBestRunMenuClick() {
    TimerData->AutosaveBestRun = Toggle(AutosaveBestRunMenuItem);
    IniFile->Set(kAutoSaveBestRun, TimerData->AutosaveBestRun);
    RebuildDisplay();
}

void AppDelegate::AutosaveSplitStateMenuClick() {
    runState_.SetOn(Toggle(AutosaveSplitStateMenuItem));
    IniFile->Set(kAutoSaveSplitState, runState_.IsOn());
    RebuildDisplay();
}

void AppDelegate::QuitMenuClick() {
    if (MayQuit()) {
        tk::Application::Terminate();
    }
}
