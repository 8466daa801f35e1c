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

TEST(AtomicWrite, FailsForAMissingFolderOrAFolderGivenAsTheFile) {
    TempDir dir;
    EXPECT_FALSE(Save(dir.File("missing/runs.txt"), "x"));
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(Save(dir.File("folder"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
    EXPECT_FALSE(Save("", "x"));
}

TEST(AtomicWrite, DoesNotFollowASymlinkPlantedAtTheTemporaryName) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(dir.File("victim.txt"), "keep me\n");
    std::filesystem::create_symlink(dir.File("victim.txt"), TemporaryPathFor(path));
    EXPECT_TRUE(Save(path, "new\n"));
    EXPECT_EQ(ReadFile(dir.File("victim.txt")), "keep me\n");
    EXPECT_EQ(ReadFile(path), "new\n");
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
