// One window per split file: the lock is held against a second taker, dies with its holder, and
// lives in the runner's own lock folder, where nothing another user plants can defeat it.
#include "SplitFileLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FileIO.h"
#include "TestFiles.h"

namespace {

// A route folder, and XDG_RUNTIME_DIR pointed at a folder of its own for the test.
class SplitFileLocking : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* outer = std::getenv("XDG_RUNTIME_DIR"); outer != nullptr) {
            outer_ = outer;
        }
        ::setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    }
    void TearDown() override {
        outer_.empty() ? ::unsetenv("XDG_RUNTIME_DIR")
                       : ::setenv("XDG_RUNTIME_DIR", outer_.c_str(), 1);
    }
    std::string LockFolder() const { return runtime_.File("quorvel"); }

    TempDir runtime_;
    TempDir dir_;
    std::string outer_;
};

using Result = SplitFileLock::Result;

}  // namespace

// Every name of the file shares the lock, a save keeps it, and what lies beside the route (the
// lock files that once lived there, a folder or a link in their place) does not matter.
TEST_F(SplitFileLocking, ASecondTakerOfTheFileUnderAnyNameIsToldAnotherHoldsIt) {
    WriteFile(dir_.File("any.txt"), "0\t0\n");
    ASSERT_TRUE(std::filesystem::create_directory(dir_.File(".any.txt.lock")));
    std::filesystem::create_symlink(dir_.File("other.txt"), dir_.File(".link.txt.lock"));
    std::filesystem::create_symlink("any.txt", dir_.File("link.txt"));
    SplitFileLock first;
    SplitFileLock second;
    ASSERT_EQ(first.Acquire(dir_.File("any.txt")), Result::Locked) << first.FailureReason();
    EXPECT_EQ(second.Acquire(dir_.File("any.txt")), Result::HeldElsewhere);
    EXPECT_EQ(second.Acquire(dir_.File("link.txt")), Result::HeldElsewhere);
    ASSERT_TRUE(WriteFileAtomically(dir_.File("any.txt"), [](std::FILE*) { return true; }));
    EXPECT_EQ(second.Acquire(dir_.File("any.txt")), Result::HeldElsewhere);  // a new inode
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(second.Acquire(dir_.File("other.txt")), Result::Locked);
    EXPECT_NE(SplitFileLock::LockPathFor(dir_.File("other.txt")),
              SplitFileLock::LockPathFor(dir_.File("any.txt")));
    first.Release();
    EXPECT_EQ(first.Acquire(dir_.File("link.txt")), Result::Locked);

    // Nothing is left anywhere once both let go.
    first.Release();
    second.Release();
    EXPECT_EQ(FolderEntries(dir_.Path()),
              (std::vector<std::string>{".any.txt.lock", ".link.txt.lock", "any.txt", "link.txt"}));
    EXPECT_EQ(FolderEntries(LockFolder()), std::vector<std::string>{});
    EXPECT_EQ(first.Acquire("/nonexistent-folder/any.txt"), Result::Failed);
}

// The lock folder is used only when it is the runner's own real folder; a link or another
// user's folder in its place fails the lock (and the window then writes nothing).
TEST_F(SplitFileLocking, ALockFolderThatIsALinkOrAnotherUsersIsNotUsed) {
    WriteFile(dir_.File("any.txt"), "0\t0\n");
    TempDir elsewhere;
    std::filesystem::create_directory_symlink(elsewhere.Path(), LockFolder());
    SplitFileLock lock;
    EXPECT_EQ(lock.Acquire(dir_.File("any.txt")), Result::Failed);
    EXPECT_EQ(lock.FailureReason(),
              "the lock folder " + LockFolder() + " is a link or not a folder");
    EXPECT_EQ(FolderEntries(elsewhere.Path()), std::vector<std::string>{});

    std::filesystem::remove(LockFolder());
    ASSERT_TRUE(std::filesystem::create_directory(LockFolder()));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(LockFolder().c_str(), 65534, 65534), 0);
        EXPECT_EQ(lock.Acquire(dir_.File("any.txt")), Result::Failed);
        EXPECT_EQ(lock.FailureReason(),
                  "the lock folder " + LockFolder() + " belongs to another user");
        ASSERT_EQ(::chown(LockFolder().c_str(), 0, 0), 0);
    }
    ::chmod(LockFolder().c_str(), 0777);  // the runner's own, made private again
    EXPECT_EQ(lock.Acquire(dir_.File("any.txt")), Result::Locked);
    EXPECT_EQ(std::filesystem::status(LockFolder()).permissions(),
              std::filesystem::perms::owner_all);

    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SplitFileLock::LockFolder(), "/tmp/quorvel-" + std::to_string(::geteuid()) + "/");
}

TEST_F(SplitFileLocking, AKilledHolderLeavesNoStaleLock) {
    WriteFile(dir_.File("any.txt"), "0\t0\n");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SplitFileLock lock;
        const char answer = lock.Acquire(dir_.File("any.txt")) == Result::Locked;
        (void)!::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 1);
    SplitFileLock mine;
    EXPECT_EQ(mine.Acquire(dir_.File("any.txt")), Result::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.Acquire(dir_.File("any.txt")), Result::Locked);
    ::close(ready[0]);
    ::close(ready[1]);
}
