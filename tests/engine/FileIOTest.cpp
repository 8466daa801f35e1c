// The atomic write every save goes through, and the whole-file read every load goes through.
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

TEST(AtomicWrite, ReplacesTheFileKeepingItsPermissionsAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    ::chmod(path.c_str(), 0640);
    WriteFile(TemporaryPathFor(path), "half a fil");  // left by a save that was killed
    EXPECT_TRUE(Save(path, "new\n"));
    EXPECT_EQ(ReadFile(path), "new\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"runs.txt"});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    WriteFile(dir.File("victim.txt"), "keep me\n");  // a link planted at the temporary name
    std::filesystem::create_symlink(dir.File("victim.txt"), TemporaryPathFor(path));
    EXPECT_TRUE(Save(path, "newer\n"));
    EXPECT_EQ(ReadFile(dir.File("victim.txt")), "keep me\n");
    EXPECT_EQ(ReadFile(path), "newer\n");
}

TEST(AtomicWrite, AFailedWriterOrAFileSizeLimitLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    EXPECT_FALSE(Save(path, "new\n", /*fail=*/true));
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(Save(path, std::string(64 * 1024, 'x')));
    }
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"runs.txt"});
}

TEST(AtomicWrite, FailsAndSaysWhyForAMissingFolderOrAFolderGivenAsTheFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    const std::pair<std::string, const char*> cases[] = {
        {dir.File("missing/runs.txt"), "No such file or directory"},
        {dir.File("folder"), "Is a directory"}};
    for (const auto& [path, why] : cases) {
        std::string reason;
        EXPECT_FALSE(WriteFileAtomically(
            path, [](std::FILE*) { return true; }, &reason));
        EXPECT_EQ(reason, why);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
    EXPECT_FALSE(Save("", "x"));
}

TEST(AtomicWrite, AWriteProtectedFileIsAFailedSaveEvenForRoot) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    ::chmod(path.c_str(), 0444);
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(
        path, [](std::FILE* file) { return std::fputs("new\n", file) >= 0; }, &reason));
    EXPECT_EQ(reason, "the file is write-protected");
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
}

TEST(AtomicWrite, ALinkIsFollowedAndItsTargetReplacedInItsOwnFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("data"));
    std::filesystem::create_directory(dir.File("runs"));
    WriteFile(dir.File("data/pb.txt"), "old\n");
    std::filesystem::create_symlink("../data/pb.txt", dir.File("runs/pb.txt"));
    std::filesystem::create_symlink(dir.File("runs/pb.txt"), dir.File("chain.txt"));

    EXPECT_TRUE(Save(dir.File("chain.txt"), "new\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("chain.txt")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("runs/pb.txt")));
    EXPECT_EQ(ReadFile(dir.File("data/pb.txt")), "new\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(dir.File("runs/pb.txt"))));
    EXPECT_EQ(FollowLinks(dir.File("chain.txt")), dir.File("runs/../data/pb.txt"));

    std::filesystem::create_symlink("target.txt", dir.File("link.txt"));  // to no file yet
    EXPECT_TRUE(Save(dir.File("link.txt"), "new\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(ReadFile(dir.File("target.txt")), "new\n");
}

TEST(FileIdentityOf, ChangesWithAnOutsideWriteAndWithOurOwnSave) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    FileIdentity none;
    EXPECT_FALSE(ReadFileIdentity(path, &none));
    WriteFile(path, "one\n");
    FileIdentity first;
    ASSERT_TRUE(ReadFileIdentity(path, &first));
    FileIdentity again;
    WriteFile(path, "two!\n");  // same inode, new size
    ASSERT_TRUE(ReadFileIdentity(path, &again));
    EXPECT_FALSE(first == again);

    FileIdentity beforeSave = again;
    ASSERT_TRUE(Save(path, "two!\n"));  // same size, but a new inode
    ASSERT_TRUE(ReadFileIdentity(path, &again));
    EXPECT_FALSE(beforeSave == again);
}

TEST(WholeFileRead, ReadsBytesExactlyAndRefusesFoldersMissingFilesAndFifos) {
    TempDir dir;
    const std::string bytes("a\0b\r\n\xff", 6);
    WriteFile(dir.File("f"), bytes);
    std::string out = "stale";
    EXPECT_TRUE(ReadWholeFile(dir.File("f"), &out));
    EXPECT_EQ(out, bytes);
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    for (const std::string& path : {dir.Path(), dir.File("missing"), dir.File("fifo")}) {
        EXPECT_FALSE(ReadWholeFile(path, &out)) << path;  // a fifo must not wait for a writer
    }
}

}  // namespace
