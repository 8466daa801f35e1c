// The atomic write every save goes through, and the identity that tells an outside change.
#include "FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TestFiles.h"

namespace {

// Writes text through WriteFileAtomically; the writer reports failure when fail is set.
bool Save(const std::string& path, const std::string& text, bool fail = false) {
    return WriteFileAtomically(path, [&](std::FILE* file) {
        std::fputs(text.c_str(), file);
        return !fail;
    });
}

class AtomicWrite : public ::testing::Test {
  protected:
    void SetUp() override { WriteFile(path_, "old\n"); }
    TempDir dir_;
    const std::string path_ = dir_.File("runs.txt");
};

TEST_F(AtomicWrite, ReplacesTheFileKeepingItsPermissionsAndLeavesNoTemporary) {
    ::chmod(path_.c_str(), 0640);
    WriteFile(TemporaryPathFor(path_), "half a fil");  // left by a save that was killed
    EXPECT_TRUE(Save(path_, "new\n"));
    EXPECT_EQ(ReadFile(path_), "new\n");
    EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"runs.txt"});
    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    WriteFile(dir_.File("victim.txt"), "keep me\n");  // a link planted at the temporary name
    std::filesystem::create_symlink(dir_.File("victim.txt"), TemporaryPathFor(path_));
    EXPECT_TRUE(Save(path_, "newer\n"));
    EXPECT_EQ(ReadFile(dir_.File("victim.txt")), "keep me\n");
    EXPECT_EQ(ReadFile(path_), "newer\n");
}

TEST_F(AtomicWrite, AFailedWriterOrAFileSizeLimitLeavesTheOldFileWhole) {
    EXPECT_FALSE(Save(path_, "new\n", /*fail=*/true));
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(Save(path_, std::string(64 * 1024, 'x')));
    }
    EXPECT_EQ(ReadFile(path_), "old\n");
    EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"runs.txt"});
}

// A missing folder, a folder given as the file, a write-protected file (even for root), and a
// file with a second name, which the rename would part from it.
TEST_F(AtomicWrite, FailsAndSaysWhyLeavingWhatWasThere) {
    std::filesystem::create_directory(dir_.File("folder"));
    WriteFile(dir_.File("linked.txt"), "old\n");
    std::filesystem::create_hard_link(dir_.File("linked.txt"), dir_.File("second-name.txt"));
    ::chmod(path_.c_str(), 0444);
    const std::pair<std::string, const char*> cases[] = {
        {dir_.File("missing/runs.txt"), "No such file or directory"},
        {dir_.File("folder"), "Is a directory"},
        {path_, "the file is write-protected"},
        {dir_.File("linked.txt"), "the file has more than one name (hard links)"}};
    for (const auto& [path, why] : cases) {
        std::string reason;
        EXPECT_FALSE(WriteFileAtomically(
            path, [](std::FILE* file) { return std::fputs("new\n", file) >= 0; }, &reason));
        EXPECT_EQ(reason, why);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("folder")));
    EXPECT_EQ(ReadFile(path_), "old\n");
    EXPECT_TRUE(std::filesystem::equivalent(dir_.File("linked.txt"), dir_.File("second-name.txt")));
    EXPECT_FALSE(FileExists(TemporaryPathFor(path_)));
    EXPECT_FALSE(Save("", "x"));
}

TEST_F(AtomicWrite, ALinkIsFollowedAndItsTargetReplacedInItsOwnFolder) {
    std::filesystem::create_directory(dir_.File("data"));
    std::filesystem::create_directory(dir_.File("runs"));
    WriteFile(dir_.File("data/pb.txt"), "old\n");
    std::filesystem::create_symlink("../data/pb.txt", dir_.File("runs/pb.txt"));
    std::filesystem::create_symlink(dir_.File("runs/pb.txt"), dir_.File("chain.txt"));
    EXPECT_TRUE(Save(dir_.File("chain.txt"), "new\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("chain.txt")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("runs/pb.txt")));
    EXPECT_EQ(ReadFile(dir_.File("data/pb.txt")), "new\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(dir_.File("runs/pb.txt"))));

    std::filesystem::create_symlink("target.txt", dir_.File("link.txt"));  // to no file yet
    EXPECT_TRUE(Save(dir_.File("link.txt"), "new\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("link.txt")));
    EXPECT_EQ(ReadFile(dir_.File("target.txt")), "new\n");
}

// As the kernel's protected_symlinks rule has it, whether or not the machine has it on: in a
// sticky folder every user may write, a link is followed only when it is the folder owner's
// or the runner's. Here the runner is root, the shared folder root's, "nobody" another user.
TEST_F(AtomicWrite, ALinkAnotherUserPlantedInASharedFolderLeadsNoReadOrWriteElsewhere) {
    constexpr uid_t kRunner = 0, kOther = 65534;
    if (::geteuid() != kRunner) {
        GTEST_SKIP() << "needs root to give a link to another user";
    }
    const struct {
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool followed;
    } cases[] = {
        {01777, kRunner, kOther, false},  // planted in /tmp by another user
        {01777, kRunner, kRunner, true},  // the runner's own link
        {01777, kOther, kOther, true},    // the folder owner's link
        {00777, kRunner, kOther, true},   // not sticky: the folder is no shared one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.folderMode << std::dec << " folder of "
                                        << c.folderOwner << ", link of " << c.linkOwner);
        const std::string shared = dir_.File("shared"), link = shared + "/runs.txt";
        std::filesystem::remove_all(shared);
        std::filesystem::create_directory(shared);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, 0), 0);
        std::filesystem::create_symlink(path_, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, 0), 0);

        std::string text, reason;
        FileIdentity identity;
        EXPECT_EQ(ReadWholeFile(link, &text), c.followed);
        EXPECT_EQ(ReadFileIdentity(link, &identity), c.followed);
        EXPECT_EQ(
            WriteFileAtomically(
                link, [](std::FILE* file) { return std::fputs("new\n", file) >= 0; }, &reason),
            c.followed);
        EXPECT_EQ(ReadFile(path_), c.followed ? "new\n" : "old\n");
        EXPECT_EQ(reason,
                  c.followed ? "" : "the file is a link another user made in a shared folder");
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        WriteFile(path_, "old\n");
    }
}

TEST_F(AtomicWrite, TheFileIdentityChangesWithAnOutsideWriteAndWithOurOwnSave) {
    FileIdentity before, after;
    EXPECT_FALSE(ReadFileIdentity(dir_.File("missing"), &before));
    ASSERT_TRUE(ReadFileIdentity(path_, &before));
    WriteFile(path_, "two!\n");  // same inode, new size
    ASSERT_TRUE(ReadFileIdentity(path_, &after));
    EXPECT_FALSE(before == after);
    before = after;
    ASSERT_TRUE(Save(path_, "two!\n"));  // same size, but a new inode
    ASSERT_TRUE(ReadFileIdentity(path_, &after));
    EXPECT_FALSE(before == after);
}

}  // namespace
