// A split file survives the process being killed at any moment while it saves.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>

#include "FileIO.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

// A split file of 3000 rows and six stored runs with a note in every tenth cell; seed varies
// the times.
std::string MakeSplitFile(int seed) {
    std::string text = IntToString(seed) + "\t-0.33\nCrash route\tBest Splits\tRun 1\tRun 2";
    text += "\tRun 3\tRun 4\tRun 5\tRun 6";
    for (int row = 0; row < 3000; ++row) {
        std::string notes;
        text += "\nSplit " + IntToString(row);
        for (int column = 0; column <= 6; ++column) {
            text += "\t" + LongToTimeString((row + 1) * (1100 + column * 7 + seed),
                                            /*ShowPlus=*/false, /*ShortForm=*/true);
            notes += (row + column) % 10 == 0 ? "\tnote|ron two lines" : "\t";
        }
        text += "\n" + notes;
    }
    return text + "\n";
}

}  // namespace

TEST(CrashDuringSave, AKilledSaveLeavesEitherTheOldOrTheNewFileWhole) {
    TempDir dir;
    const std::string target = dir.File("runs.txt");
    // Loaded here, before any fork, so that the child does nothing but save; each grid saved
    // once gives the bytes the writer produces for it, and the time one save takes here (a
    // sanitizer build saves ten times slower), so that the kills fall inside saves.
    QuorvelClass gridA("/tmp/"), gridB("/tmp/");
    WriteFile(target, MakeSplitFile(2));
    gridB.LoadSplitData(target);
    gridB.SaveSplitData();
    const std::string bytesB = ReadFile(target);
    WriteFile(target, MakeSplitFile(1));
    gridA.LoadSplitData(target);
    const auto before = std::chrono::steady_clock::now();
    gridA.SaveSplitData();
    const long saveMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - before)
                                      .count();
    const std::string bytesA = ReadFile(target);
    ASSERT_GT(bytesA.size(), 100000u);
    ASSERT_NE(bytesA, bytesB);

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delayMicroseconds(0, 2 * saveMicroseconds + 1);
    int loadedA = 0, loadedB = 0, killedInsideASave = 0;  // the last: a temporary left behind
    for (int round = 0; round < 200; ++round) {
        int savedPipe[2];
        ASSERT_EQ(::pipe(savedPipe), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(savedPipe[0]);
            // The two grids saved in turn over the same file until the kill, each told to
            // write over the other's file (as a runner answering Overwrite).
            for (;;) {
                gridB.AcceptSplitFileOnDisk();
                gridB.SaveSplitData();
                const char saved = 'B';
                (void)!::write(savedPipe[1], &saved, 1);
                gridA.AcceptSplitFileOnDisk();
                gridA.SaveSplitData();
            }
        }
        ::close(savedPipe[1]);
        // Every other round waits for a whole save of B first, so that the kill can leave
        // either file on disk however long a save takes.
        if (round % 2 == 1) {
            char saved = 0;
            ASSERT_EQ(::read(savedPipe[0], &saved, 1), 1);
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(savedPipe[0]);
        ASSERT_TRUE(WIFSIGNALED(status));
        killedInsideASave += FileExists(TemporaryPathFor(target)) ? 1 : 0;
        const std::string onDisk = ReadFile(target);
        ASSERT_TRUE(onDisk == bytesA || onDisk == bytesB) << "torn file after kill " << round;
        (onDisk == bytesA ? loadedA : loadedB) += 1;
    }
    // Both outcomes, and kills in the middle of a save: the test saw what it claims to test.
    EXPECT_GT(loadedA, 0);
    EXPECT_GT(loadedB, 0);
    EXPECT_GT(killedInsideASave, 0);

    // The next save clears whatever temporary the last kill left behind.
    gridA.AcceptSplitFileOnDisk();
    gridA.SaveSplitData();
    EXPECT_FALSE(gridA.LastSaveFailed);
    EXPECT_FALSE(FileExists(TemporaryPathFor(target)));
    RecordProperty("killed_inside_a_save", killedInsideASave);
}
