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

// A split file of rows x (stored runs) with a note in every tenth cell; seed varies the times.
std::string MakeSplitFile(int rows, int runs, int seed) {
    std::string text = IntToString(seed) + "\t-0.33\nCrash route\tBest Splits";
    for (int run = 1; run <= runs; ++run) {
        text += "\tRun " + IntToString(run);
    }
    text += "\n";
    for (int row = 0; row < rows; ++row) {
        text +=
            "Split " + IntToString(row) + "\t" + LongToTimeString(1000 + row + seed, false, true);
        std::string notes;
        for (int run = 1; run <= runs; ++run) {
            text += "\t" + LongToTimeString((row + 1) * (1100 + run * 7 + seed), false, true);
            notes += (row + run) % 10 == 0 ? "\tnote|ron two lines" : "\t";
        }
        text += "\n" + notes + "\n";
    }
    return text;
}

// The bytes the writer produces for a split file: load it, save it, read it back.
std::string CanonicalBytes(const std::string& path) {
    QuorvelClass engine("/tmp/");
    engine.LoadSplitData(path);
    engine.SaveSplitData();
    return ReadFile(path);
}

}  // namespace

TEST(CrashDuringSave, AKilledSaveLeavesEitherTheOldOrTheNewFileWhole) {
    TempDir dir;
    const std::string target = dir.File("runs.txt");
    WriteFile(dir.File("a.txt"), MakeSplitFile(3000, 6, 1));
    WriteFile(dir.File("b.txt"), MakeSplitFile(3000, 6, 2));
    const std::string bytesA = CanonicalBytes(dir.File("a.txt"));
    const std::string bytesB = CanonicalBytes(dir.File("b.txt"));
    ASSERT_GT(bytesA.size(), 100000u);
    ASSERT_NE(bytesA, bytesB);
    // Loaded here, before any fork, so that the child does nothing but save.
    QuorvelClass gridA("/tmp/"), gridB("/tmp/");
    gridA.LoadSplitData(dir.File("a.txt"));
    gridB.LoadSplitData(dir.File("b.txt"));
    gridA.SplitFileName = gridB.SplitFileName = target;
    WriteFile(target, bytesA);

    // One save's length on this machine, so that the kills fall inside saves however fast or
    // slow the build is (a sanitizer build saves ten times slower).
    const auto before = std::chrono::steady_clock::now();
    gridA.SaveSplitData();
    const long saveMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - before)
                                      .count();

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delayMicroseconds(0, 2 * saveMicroseconds + 1);
    int loadedA = 0;
    int loadedB = 0;
    int killedInsideASave = 0;  // the kill left the save's temporary behind
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
