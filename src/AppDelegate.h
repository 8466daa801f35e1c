// The application shell: start-up and shutdown with the settings file, the update tick that
// refreshes the running time and the status line, the grid of labels that shows the split
// file, and the menu commands. The only code that sees both the split engine and the toolkit:
// the display code reads the engine, the command handlers change it.
//
// One window, top to bottom (points; the window's 22-point strip holds the menu bar):
//
//   +--------------------------------------------+  ^
//   | description   Best Splits  Run 1  Current  |  |  HeaderPanel (80 high): the header
//   | 1:05.2                                     |  |  labels 2 points below its top, over
//   | +1.2               Attempts   3 / 57       |  v  the clock and the attempt counters
//   +--------------------------------------------+
//   | Level 1          40.10   41.00    40.80    |     ScrollBox: the rows of the grid,
//   |                  +0.70   -0.20    -0.20    |     scrolling when taller than the
//   | Level 2            ...                      |     window can be
//   +--------------------------------------------+
//
// Everything runs on the main thread: the launch and quit notifications, the tick and the
// commands, one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GlobalHotkeys.h"
#include "HotkeyRouter.h"
#include "OutsideCommands.h"
#include "QuorvelEngine.h"
#include "ResultGuard.h"
#include "RouteHistory.h"
#include "RunSnapshot.h"
#include "RunStateKeeper.h"
#include "Settings.h"
#include "Toolkit.h"
#include "ViewLook.h"

struct Appearance;
class SplitsPanel;
namespace tk {
class WidgetView;
}

// ---- Process-wide state of the shell ----

// The split engine behind the window; created at launch, deleted with the delegate.
extern std::unique_ptr<QuorvelClass> TimerData;
// A second engine, never given a file: the stopwatch of the input lockout. Its start offset
// is -33, so after each restart it reads below 0 for a third of a second.
extern std::unique_ptr<QuorvelClass> LastInputTimer;
// The settings, read at launch; a change made in the window is written at once.
extern std::unique_ptr<Settings> IniFile;
// Folder of "Quorvel.ini", folder given to both engines, first folder of the open panel;
// ends in '/'. Set at launch (see RunningFolderFor).
extern std::string RunningFolder;
// Display flags, from the settings and the View menu.
extern bool HideBestSplits;
extern bool HideCurrentSplits;
extern bool HideDiffRows;
extern bool HideAttemptsCounters;
// The lockout stopwatch must have reached this (hundredths) before a split, skip or undo is
// taken: 0, so a repeat within a third of a second of the last one is ignored.
extern std::int32_t DoubleClickDelayTime;

// The labels of the grid, DisplayGrid[displayRow][displayColumn][slot], non-owning (each label
// belongs to the view it was added to). Display row 0 is the header row, row k >= 1 split
// k - 1; display column 0 is the header column, column k >= 1 data column k - 1. Slot 0 holds
// the main label (description, column header, row header or time), slot 1 the difference
// label of a cell. Null where nothing exists: slot 1 of headers, hidden columns, difference
// labels while HideDiffRows is set. The two slots of an entry are held in place (no list of
// their own per cell), which keeps a grid of 1,000 rows half a megabyte smaller.
using DisplayGridType = std::vector<std::vector<std::array<tk::Label*, 2>>>;
extern DisplayGridType DisplayGrid;

// Stores label in DisplayGrid[row][column], slot 0 when mainLabel is set, else slot 1. An
// index outside the grid, or an entry without slots, is ignored; a label already there is
// overwritten without being touched.
void PutTimerLabelInGrid(int row, int column, bool mainLabel, tk::Label* label);

// The running folder, with its trailing '/': "/Applications/Quorvel/" on macOS; elsewhere
// configHome + "/quorvel/", where configHome is xdgConfigHome when that is an absolute path,
// else home + "/.config".
//   ("/x/cfg", "/home/a") -> "/x/cfg/quorvel/"   ("", "/home/a") -> "/home/a/.config/quorvel/"
//   ("rel/cfg", "/home/a") -> "/home/a/.config/quorvel/"
std::string RunningFolderFor(const std::string& xdgConfigHome, const std::string& home);

// ---- The delegate ----

class AppDelegate : public tk::ApplicationDelegate {
  public:
    // Layout of the window (points).
    static constexpr double kHeaderPanelHeight = 80;  // header labels, clock, counters
    static constexpr double kGridLeft = 2;
    static constexpr double kHeaderColumnWidth = 65;
    static constexpr double kDataColumnWidth = 55;
    static constexpr double kRowHeight = 22;
    static constexpr double kRowHeightNoDiffs = 14;
    static constexpr double kHeaderLabelHeight = 22;
    static constexpr double kCellLabelHeight = 10;
    static constexpr double kGridBottomSpace = 4;
    static constexpr double kLabelFontSize = 8;
    // What both views say while no split file is open, and the grid's lines of it.
    static constexpr char kNoRouteText[] =
        "File \u25b8 New Route\u2026 (Ctrl+N), or File \u25b8 Import\u2026 a LiveSplit or "
        "LibreSplit file";
    static constexpr std::array<const char*, 3> kNoRouteLines = {
        "File \u25b8 New Route\u2026 (Ctrl+N),", "or File \u25b8 Import\u2026 a LiveSplit",
        "or LibreSplit file"};
    // The window as laid out before any split file is opened: a grid of four columns wide.
    static constexpr double kInitialWidth = 287;
    static constexpr double kInitialHeight = 200;
    static constexpr double kInitialLeft = 80;
    static constexpr double kInitialTop = 80;  // below the main screen's top edge

    // The background of a time label whose cell has a note, and of a best-splits difference
    // label on a new best segment.
    static constexpr tk::Color kHighlightGrey = tk::Color::CalibratedRgb(0.15, 0.15, 0.15);
    static constexpr tk::Color kWindowBackground = {0.1, 0.1, 0.12, 1};

    // arguments as main received them; the first after the program name, if any, is a split
    // file opened at launch as the open command opens a chosen file.
    explicit AppDelegate(std::vector<std::string> arguments = {});
    // Deletes TimerData and LastInputTimer, forgets DisplayGrid, closes the window.
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // ---- Notifications of the toolkit ----
    void WillFinishLaunching() override;  // builds the window: CreateMainWindow
    void DidFinishLaunching() override { applicationDidFinishLaunching(); }
    void WillTerminate() override { applicationWillTerminate(); }
    bool ShouldTerminateAfterLastWindowClosed() override {
        return applicationShouldTerminateAfterLastWindowClosed();
    }

    // Builds the window, its views and its menus and connects the outlets below. Done once,
    // before launch; tests call it themselves.
    void CreateMainWindow();

    // Start-up: running folder and settings (Settings::Open: the first launch's when there are
    // none or they cannot be read, said in a notice), the two engines, the 0.075-second tick,
    // the settings into the flags, the engine and the check marks, the window placed at
    // "Left"/"Top", then the split file of the command line or of the last session; the
    // window is shown last.
    void applicationDidFinishLaunching();
    // Shutdown: an unfinished run kept as its split state (with the autosave on), window
    // position and check marks into the settings, settings file saved.
    void applicationWillTerminate();
    // Closing the window quits the application.
    bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // ---- Update tick ----
    // Running time in tenths (white; dark grey in the lead-in; red when behind the kept run)
    // and the status line: "Ready", "DONE!" or the live segment difference (+1.2 red, -1.2
    // green, 0.0 white); a hotkey notice in place of "Ready" or "DONE!" while it lasts. The
    // split-state autosave gets its tick too (RunStateKeeper::OnTick).
    void OnUpdateTimer();

    // ---- Grid display ----
    // Rebuilds every label of the grid for the engine's shape and the display flags, resizes
    // the window to fit (its top edge stays; never taller than the main screen's visible
    // area), and fills in the header texts. Cells show "---" until UpdateScreen.
    void CreateScreen();
    // Removes every label of the grid from its view and empties DisplayGrid.
    void ClearDisplayGrid();
    // Writes the session and total attempt counts into their labels.
    void UpdateResetCountDisplay();
    // Gives every row header, time label and difference label its text and colours from the
    // engine and scrolls the split being timed into the middle of the visible area.
    void UpdateScreen();

    // ---- Menu commands ----
    void DoOpen();  // the open panel, then OpenSplitFile with the chosen path
    void OpenMenuClick();
    void ImportMenuClick();  // another timer's split file, converted beside it, then opened
    void ExportMenuClick();  // the loaded split file to another timer's format
    // File ▸ New Route…: a file name, then the split editor on a new route; OK writes the
    // split file and opens it.
    void NewRouteMenuClick();
    // Edit ▸ Edit Splits…: the split editor on the open route; OK saves it and redraws the
    // grid. Disabled (and doing nothing) with no split file or while a run is in progress.
    void EditSplitsMenuClick();
    void DoSplitMenuClick();    // start, resume or split; input lockout
    void SkipSplitMenuClick();  // input lockout
    void UndoSplitMenuClick();  // input lockout
    void PauseResumeMenuClick();
    void ResetTimerMenuClick();
    void SaveSplitsMenuClick();      // keeps the finished run in place of the kept run
    void SaveBestSplitsMenuClick();  // takes over the run's best segments
    void HorizontalModeMenuClick();
    void HideBestSplitsMenuClick();
    void HideCurrentSplitsMenuClick();
    void HideDiffRowsMenuClick();
    void HideAttemptsCounterMenuClick();
    void AutosaveBestSplitsMenuClick();
    void AutosaveBestRunMenuClick();
    void AutosaveSplitStateMenuClick();
    void GoToTimerModeMenuClick() {}
    // The open panel, starting in RunningFolder; the chosen split-state file brings its run
    // back paused at the saved time with its done splits (Start / Split resumes it). The
    // split file it names goes through the guard as Open's does (check, lock, results).
    void OpenSplitStateMenuClick();
    // Writes the split state of the loaded split file; the run goes on untouched.
    void SaveSplitStateMenuClick();
    void CounterItemMenuClick() {}
    // View ▸ Statistics…: the open route's history, its attempts over time and the figures
    // of each split (StatisticsDialog), with the tables saved as CSV.
    void StatisticsMenuClick();
    void GlobalHotkeysMenuClick();  // check item: starts or stops the global hotkeys
    // The view's look (ViewLook): zoom steps, always on top, background colour.
    void ZoomInMenuClick() { look_.ZoomIn(); }
    void ZoomOutMenuClick() { look_.ZoomOut(); }
    void ActualSizeMenuClick() { look_.ActualSize(); }
    void AlwaysOnTopMenuClick();
    void BackgroundColourMenuClick();  // the colour dialog; the choice is kept at once
    // The hotkeys dialog; OK binds the keys at once and saves the settings file at once. It
    // shows the keys a desktop portal bound, and where to change those that differ.
    void HotkeysMenuClick();
    // Options ▸ Control Server…: the dialog; OK saves the settings and applies them at once,
    // and a port that cannot be bound is said in a notice.
    void ControlServerMenuClick();
    const ViewLook& Look() const { return look_; }
    // Check item "Ask Before Losing Results" (Misc/AskBeforeLosingResults, on when missing).
    void AskBeforeLosingResultsMenuClick();
    // Quit, and the window's close box: asks first when results would be lost or the last
    // save failed (ResultGuard::BeforeQuit); true when the application may quit.
    bool MayQuit();
    // SIGTERM or SIGHUP (QuitSignals): every prompt cancelled, what the autosave options keep
    // kept and an unfinished run's split state saved (whatever the autosave), then the quit,
    // with nothing asked. False while a prompt is still closing: call again a moment later.
    bool QuitOnSignal();
    void QuitMenuClick();

    // ---- Layouts: View ▸ Layout, Compare Against, Hide Menu Bar; Options ▸ Appearance… ----
    // The grid of the split file (the default) or the Splits view; kept as [Window] Layout.
    enum class Layout { kGrid, kSplits };
    Layout CurrentLayout() const { return layout_; }
    // Ctrl+L is the key of the other layout's item: it switches.
    void LayoutMenuClick(Layout layout);
    // Check item, F10: the menus then open with a right click on the window.
    void HideMenuBarMenuClick();
    // The Appearance dialog, shown in the window as it is changed; OK keeps it at once.
    void AppearanceMenuClick();
    SplitsPanel& Splits() const { return *splits_; }

    // Writes the split-state save a command asked for, if it has not been written yet.
    void FlushRunState() { runState_.Flush(); }

    // The history of the open route: recorded by the run commands, read by the statistics
    // window and the route editor.
    RouteHistory& History() { return history_; }

    // Loads the split file at path, rebuilds and refreshes the display, runs one tick. First
    // the results of the open file (LeaveRoute), then the file's check and lock
    // (ResultGuard::BeforeOpen). With the split-state autosave on and an unfinished run of
    // this split file in its split-state file, asks whether to take the run up again
    // (RunStateKeeper::OfferUnfinishedRun).
    void OpenSplitFile(const std::string& path);

    // ---- Split-state autosave (RunStateKeeper) ----
    static constexpr std::int32_t kSplitStateSaveInterval = RunStateKeeper::kSaveInterval;
    static std::string UnfinishedRunQuestion(std::int32_t runTime, unsigned doneSplits,
                                             unsigned rowCount) {
        return RunStateKeeper::UnfinishedRunQuestion(runTime, doneSplits, rowCount);
    }
    bool AutosavingSplitState() const { return runState_.IsOn(); }

    // ---- Global hotkeys (HotkeyRouter) ----
    using HotkeyCommand = HotkeyRouter::HotkeyCommand;
    static constexpr HotkeyCommand kSplitHotkey = HotkeyRouter::kSplitHotkey;
    static constexpr HotkeyCommand kSkipHotkey = HotkeyRouter::kSkipHotkey;
    static constexpr HotkeyCommand kUndoHotkey = HotkeyRouter::kUndoHotkey;
    static constexpr HotkeyCommand kPauseHotkey = HotkeyRouter::kPauseHotkey;
    static constexpr HotkeyCommand kResetHotkey = HotkeyRouter::kResetHotkey;
    static constexpr HotkeyCommand kHotkeyCount = HotkeyRouter::kHotkeyCount;
    static constexpr std::int32_t kSameKeyWindow = HotkeyRouter::kSameKeyWindow;
    static constexpr std::int32_t kHotkeyNoticeTime = HotkeyRouter::kHotkeyNoticeTime;
    void GlobalHotkeyPressed(HotkeyCommand command) { hotkeyRouter_.GlobalHotkeyPressed(command); }
    void TimerMenuCommand(HotkeyCommand command) { hotkeyRouter_.TimerMenuCommand(command); }
    const hotkeys::HotkeySpec* GlobalHotkeySpec(HotkeyCommand command) const {
        return hotkeyRouter_.GlobalHotkeySpec(command);
    }
    const std::string& GlobalHotkeyName(HotkeyCommand command) const {
        return hotkeyRouter_.GlobalHotkeyName(command);
    }
    hotkeys::GlobalHotkeys* GlobalHotkeysObject() const {
        return hotkeyRouter_.GlobalHotkeysObject();
    }

    // ---- Outside commands (OutsideCommands) ----
    const OutsideCommands& Outside() const { return outside_; }

    // ---- Outlets: set by CreateMainWindow, non-owning ----
    tk::Window* window = nullptr;
    tk::Label* CurrentTimeLabel = nullptr;
    tk::Label* StatusLabel = nullptr;
    tk::ScrollView* ScrollBox = nullptr;
    tk::View* ScrollBoxContent = nullptr;
    tk::Label* SessionAttemptLabel = nullptr;
    tk::Label* TotalAttemptLabel = nullptr;
    tk::View* HeaderPanel = nullptr;
    tk::View* AttemptsPanel = nullptr;
    tk::View* ClockPanel = nullptr;          // the clock, the status and the counters
    tk::WidgetView* SplitsHost = nullptr;    // the Splits view, filling the window
    tk::Menu* CompareAgainstMenu = nullptr;  // View ▸ Compare Against
    tk::MenuItem* GridLayoutMenuItem = nullptr;
    tk::MenuItem* SplitsLayoutMenuItem = nullptr;
    tk::MenuItem* HideMenuBarMenuItem = nullptr;
    tk::MenuItem* CountersMenu = nullptr;
    tk::MenuItem* HorizontalModeMenuItem = nullptr;
    tk::MenuItem* HideBestSplitsMenuItem = nullptr;
    tk::MenuItem* HideCurrentSplitsMenuItem = nullptr;
    tk::MenuItem* HideDiffRowsMenuItem = nullptr;
    tk::MenuItem* HideAttemptCountersMenuItem = nullptr;
    tk::MenuItem* AutosaveBestSplitsMenuItem = nullptr;
    tk::MenuItem* AutosaveBestRunMenuItem = nullptr;
    tk::MenuItem* AutosaveSplitStateMenuItem = nullptr;
    tk::MenuItem* GlobalHotkeysMenuItem = nullptr;
    tk::MenuItem* AlwaysOnTopMenuItem = nullptr;
    tk::MenuItem* AskBeforeLosingResultsMenuItem = nullptr;
    tk::MenuItem* EditSplitsMenuItem = nullptr;
    tk::MenuItem* StatisticsMenuItem = nullptr;

    // The repeating tick, created at launch.
    std::unique_ptr<tk::RepeatingTimer> TextUpdateTimer;

  private:
    // Each check item stored in the settings, with its setting.
    std::array<std::pair<tk::MenuItem*, const Setting<bool>*>, 8> CheckItemSettings() const;
    // True when the lockout stopwatch has run out; then restarts it.
    bool InputLockoutPassed();
    // Turns a check item on when it is off and off otherwise; returns the new check.
    static bool Toggle(tk::MenuItem* item);
    // CreateScreen, UpdateScreen, UpdateResetCountDisplay: after a display or option toggle.
    void RebuildDisplay();
    // The window title names the split file and says when its last write failed; a failure
    // is also reported once on standard error.
    void ShowFileState();
    // After a command that changed the run: the split state is saved a moment later, or
    // removed when the run is over (finished, or kept in place of the kept run).
    void AutosaveRunState();
    // Before another split file replaces the open one: the guard's question (what the autosave
    // keeps kept first), then an unfinished run kept as its split state. False: Cancel.
    bool LeaveRoute();
    // A question of the guard; the run it kept is over. unfinishedRunKept: the run stays as
    // its split state.
    bool Guard(const std::function<bool(bool unfinishedRunKept)>& ask);
    // True when an unfinished run is kept as a split state as the file is left.
    bool UnfinishedRunKept() const;
    // The unfinished run's split state written as it stands now (or removed, when it is over).
    void KeepUnfinishedRun();
    // The run commands (split, skip, undo, pause) go on only with a split file loaded and the
    // run not finished.
    static bool RunUnfinished();
    // The split editor on the open route, shown again with its edits after an OK the engine
    // refuses (said in a notice); true when the route was taken (or left unchanged) by OK.
    bool EditRoute();
    // The menu action of a run command.
    void RunCommand(HotkeyCommand command);
    // True when the engine's current run holds a time in any row.
    static bool CurrentRunHasTimes();
    // Start / Split and Pause / Resume on a stopped clock: a new attempt (counted at once)
    // when the clock reads 0 or the last run was kept, otherwise the paused run resumes.
    void StartOrResume();

    std::vector<std::string> arguments_;
    std::unique_ptr<tk::Window> mainWindow_;
    bool saveFailureReported_ = false;
    std::string reportedFile_;
    // A finished run was kept (by the autosave at its last split or by Save Run): the engine
    // is paused with the final time still on its clock, but the run is over, so the next
    // Start / Split or Pause / Resume starts a new attempt rather than resuming it. Cleared
    // when a run starts or is reset and when a file is opened.
    bool runKept_ = false;
    RunStateKeeper runState_{TimerData};
    RouteHistory history_{TimerData};
    std::string historyProblemShown_;  // the title says the history was not saved
    // The route just loaded: its history opened (a refused file said once), and what an
    // earlier process left unfinished settled by the answer to the question to resume it.
    void OpenHistory(RunStateKeeper::Offer offer);
    // The Splits view's comparisons from the history (Best Segments, Average Segments, Latest
    // Run...): read when a route opens, when the view is shown, and after each attempt starts
    // or is reset, once that is drawn; never on a split's way to the screen. While the grid
    // is shown they are only marked stale.
    void HandHistoryToSplitsView();
    // The questions before results are lost and the checks before a file is loaded; made
    // with the engine at launch.
    std::unique_ptr<ResultGuard> guard_;
    bool stateFailureShown_ = false;  // the title shows the failed split-state save
    // After a command that may have written the split file: an outside change found by the
    // write is asked about, and a reload rebuilds the display.
    void AfterFileWrites();
    // After a split file is opened: the outside commands and the desktop portal's hotkeys go
    // with the window that may write it.
    void FollowOwnership();
    HotkeyRouter hotkeyRouter_;
    OutsideCommands outside_{TimerData, [this](HotkeyCommand command) { RunCommand(command); },
                             [this] { return runKept_; }};
    ViewLook look_;

    // The views of the layout shown, the window sized for it.
    void ApplyLayout();
    // The window at width x height points, its top edge kept, never reaching past the main
    // screen's visible area (a window too tall for the room below its top edge moves up);
    // the height it was given.
    std::int64_t FitWindow(double width, std::int64_t height);
    // The window around the Splits view: its width and height, or (keepWidth) the height it
    // needs at the window's width when that changed since the last fit.
    void FitSplitsWindow(bool keepWidth);
    // The grid's lines of kNoRouteText while no split file is open.
    void ShowNoRouteLines(bool shown);
    // The look of both views: the Splits view's, the window's background, the grid's text.
    void ApplyAppearance(const Appearance& look);
    // The engine changed: what both views show of the run (a finished run kept on screen).
    void RunChanged();

    Layout layout_ = Layout::kGrid;
    std::unique_ptr<SplitsPanel> splits_;
    // The grid's copy of the run, holding a finished run the engine has kept (GridCells).
    RunOnScreen gridRun_;
    tk::Color gridText_ = tk::Color::White();  // the text of the grid: the appearance's
    std::vector<tk::Label*> noRouteLines_;
    double splitsHeight_ = 0;  // the Splits view's height at the last fit
    bool splitsHistoryStale_ = true;
    tk::AfterPaint historyToSplits_{[this] { HandHistoryToSplitsView(); }};
};
