// The atomic write every save goes through, and the identity that tells an outside change.
#include "FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

// A missing folder, a folder given as the file, and a write-protected file (even for root).
TEST_F(AtomicWrite, FailsAndSaysWhyLeavingWhatWasThere) {
    std::filesystem::create_directory(dir_.File("folder"));
    ::chmod(path_.c_str(), 0444);
    const std::pair<std::string, const char*> cases[] = {
        {dir_.File("missing/runs.txt"), "No such file or directory"},
        {dir_.File("folder"), "Is a directory"},
        {path_, "the file is write-protected"}};
    for (const auto& [path, why] : cases) {
        std::string reason;
        EXPECT_FALSE(WriteFileAtomically(
            path, [](std::FILE* file) { return std::fputs("new\n", file) >= 0; }, &reason));
        EXPECT_EQ(reason, why);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("folder")));
    EXPECT_EQ(ReadFile(path_), "old\n");
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
