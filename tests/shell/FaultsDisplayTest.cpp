// Faults from outside the program as the window shows them: names and notes that are not
// UTF-8, a full disk. The window must go on working and say "(not saved!)" in its title; the
// files on disk stay as they were.
#include <cstdlib>

#include "QtBackend.h"
#include "ShellFixture.h"
#include "SmallDisk.h"

namespace {

// Stray continuation bytes, a cut-off sequence, an overlong slash, an encoded surrogate,
// Latin-1 text: in the description, a column title, a split name and a note.
constexpr char kBadRoute[] =
    "3\t0.00\nRoute \x80\xbf\tBest Splits\tcaf\xc3\n\xc0\xaf\t10.00\t11.00\n"
    "\t\t\xed\xa0\x80 Se\xf1or\n";

// In a child process: runs the application on Qt's offscreen platform with the split file
// at path for a few ticks, then ends the child with 0 when labels were drawn, 3 when not.
[[noreturn]] void DrawForAFewTicksAndExit(const std::string& path) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    SetClockSource(nullptr);
    AppDelegate delegate({"quorvel", path});
    const long long before = tk::qt::LabelsPainted();
    int ticks = 0;
    const auto stopper = tk::RepeatingTimer::Schedule(0.02, [&ticks] {
        if (++ticks == 5) {
            tk::Application::Terminate();
        }
    });
    static char name[] = "quorvel";
    static char* argv[] = {name, nullptr};
    tk::Application::Run(1, argv, delegate);
    // No exit handlers: the toolkit keeps its application object for the life of the process.
    std::_Exit(tk::qt::LabelsPainted() > before ? 0 : 3);
}

}  // namespace

class FaultsDisplay : public ShellTest {};

TEST_F(FaultsDisplay, TextThatIsNotUtf8IsDrawnWithoutCrashing) {
    const std::string path = WriteSplitFile("r\xfft\xe9.txt", kBadRoute);
    EXPECT_EXIT(DrawForAFewTicksAndExit(path), testing::ExitedWithCode(0), "");
}

TEST_F(FaultsDisplay, AFullDiskKeepsTheOldFilesAndTheTitleSaysSo) {
    const SmallDisk disk(Root() + "config");
    if (!disk.Mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs: " << disk.Error() << " (needs root)";
    }
    Launch("[Window]\nHideDiffRows=N\n\n");
    const std::string path = Folder() + "route.txt";
    WriteFile(path, kThreeSplits);
    Open(path);
    const std::string settings = ReadFile(IniPath());
    disk.Fill();
    testing::internal::CaptureStderr();
    app->DoSplitMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    app->HideDiffRowsMenuClick();
    Quit();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Quorvel: could not save the split file " + path +
                  ": No space left on device\nQuorvel: could not save the settings to " +
                  IniPath() + ": No space left on device\n");
    EXPECT_EQ(asked_, std::vector<std::string>{
                          "Your settings could not be saved (No space left on device)."});
    EXPECT_EQ(std::tuple(TimerData->GetNextSplitNumber(), app->window->Title(), ReadFile(path),
                         ReadFile(IniPath())),
              std::tuple(1u, "Quorvel - route.txt - Route (not saved!)", kThreeSplits, settings));
}
