#include "FileIO.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "TestFiles.h"

namespace {

// Writes text through WriteFileAtomically; the writer fails when fail is set.
bool Save(const std::string& path, const std::string& text, bool fail = false) {
    return WriteFileAtomically(path, [&](std::FILE* file) {
        std::fputs(text.c_str(), file);
        return !fail;
    });
}

}  // namespace

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    EXPECT_TRUE(Save(path, "new\n"));
    EXPECT_EQ(ReadFile(path), "new\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
}

TEST(AtomicWrite, KeepsTheOldFilesPermissions) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(Save(path, "new\n"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicWrite, AFailedWriterLeavesTheOldFileWholeAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    EXPECT_FALSE(Save(path, "new\n", /*fail=*/true));
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
}

TEST(AtomicWrite, AFileSizeLimitLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(path, "old\n");
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(Save(path, std::string(64 * 1024, 'x')));
    }
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
}

TEST(AtomicWrite, FailsForAMissingFolderOrAFolderGivenAsTheFile) {
    TempDir dir;
    EXPECT_FALSE(Save(dir.File("missing/runs.txt"), "x"));
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(Save(dir.File("folder"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
    EXPECT_FALSE(Save("", "x"));
}

TEST(AtomicWrite, RemovesATemporaryLeftByASaveThatWasKilled) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    WriteFile(TemporaryPathFor(path), "half a fil");
    EXPECT_TRUE(Save(path, "whole\n"));
    EXPECT_EQ(ReadFile(path), "whole\n");
    EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
}

TEST(AtomicWrite, DoesNotFollowASymlinkPlantedAtTheTemporaryName) {
    TempDir dir;
    const std::string path = dir.File("runs.txt");
    const std::string victim = dir.File("victim.txt");
    WriteFile(victim, "keep me\n");
    std::filesystem::create_symlink(victim, TemporaryPathFor(path));
    EXPECT_TRUE(Save(path, "new\n"));
    EXPECT_EQ(ReadFile(victim), "keep me\n");
    EXPECT_EQ(ReadFile(path), "new\n");
}

TEST(WholeFileRead, ReadsBytesExactlyAndRefusesFolders) {
    TempDir dir;
    const std::string bytes("a\0b\r\n\xff", 6);
    WriteFile(dir.File("f"), bytes);
    std::string out = "stale";
    EXPECT_TRUE(ReadWholeFile(dir.File("f"), &out));
    EXPECT_EQ(out, bytes);
    EXPECT_FALSE(ReadWholeFile(dir.Path(), &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(ReadWholeFile(dir.File("missing"), &out));
}

TEST(WholeFileRead, RefusesAFifoInsteadOfWaitingForAWriter) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::string out;
    EXPECT_FALSE(ReadWholeFile(dir.File("fifo"), &out));
}
