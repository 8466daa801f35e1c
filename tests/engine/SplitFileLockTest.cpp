// One window per split file: the lock is held against a second taker and dies with its holder.
#include "SplitFileLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "TestFiles.h"

TEST(SplitFileLock, ASecondTakerOfTheFileOrAnotherNameOfItIsToldAnotherHoldsIt) {
    TempDir dir;
    WriteFile(dir.File("any.txt"), "0\t0\n");
    SplitFileLock first;
    SplitFileLock second;
    EXPECT_EQ(first.Acquire(dir.File("any.txt")), SplitFileLock::Result::Locked);
    EXPECT_EQ(second.Acquire(dir.File("any.txt")), SplitFileLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(second.Acquire(dir.File("other.txt")), SplitFileLock::Result::Locked);
    first.Release();
    EXPECT_EQ(second.Acquire(dir.File("any.txt")), SplitFileLock::Result::Locked);

    std::filesystem::create_symlink("any.txt", dir.File("link.txt"));  // two names, one lock
    EXPECT_EQ(first.Acquire(dir.File("link.txt")), SplitFileLock::Result::HeldElsewhere);
    EXPECT_EQ(SplitFileLock::LockPathFor(dir.File("any.txt")), dir.File(".any.txt.lock"));
    EXPECT_EQ(first.Acquire("/nonexistent-folder/any.txt"), SplitFileLock::Result::Failed);
}

TEST(SplitFileLock, AKilledHolderLeavesNoStaleLock) {
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SplitFileLock lock;
        const char answer = lock.Acquire(dir.File("any.txt")) == SplitFileLock::Result::Locked;
        (void)!::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 1);
    SplitFileLock mine;
    EXPECT_EQ(mine.Acquire(dir.File("any.txt")), SplitFileLock::Result::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.Acquire(dir.File("any.txt")), SplitFileLock::Result::Locked);
    ::close(ready[0]);
    ::close(ready[1]);
}
