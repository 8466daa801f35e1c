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

#include "NumberText.h"
#include "Prompts.h"
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

namespace {

using shell::CheckOf;
using shell::ColorOfSign;
using shell::IsOn;
using shell::Trunc;

constexpr char kIniFileName[] = "Quorvel.ini";

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
            EditRoute();
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
