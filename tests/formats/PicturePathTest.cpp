// Picture names read from a file are followed only inside the route's folder: a hostile
// route cannot make a conversion embed or copy out any other file the runner can read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "ConvertFixture.h"
#include "IconImage.h"

namespace {

namespace fs = std::filesystem;

class PicturePathTest : public ConvertFixture {
  protected:
    // route/ holds the hostile route and its pictures; secret.png lies beside the folder.
    void SetUp() override {
        fs::create_directory(File("route"));
        fs::create_directory(File("elsewhere"));
        WriteFile(File("route/hostile.json"),
                  ReadFile(TestDataPath("formats/pictures-outside-the-folder.json")));
        WriteFile(File("secret.png"), "the runner's secret");
        WriteFile(File("route/good.png"), ReadFile(TestDataPath("formats/red.png")));
        ::mkfifo(File("route/fifo.png").c_str(), 0644);
        fs::create_directory(File("route/folder.png"));
        WriteFile(File("route/large.png"), "");
        fs::resize_file(File("route/large.png"), 5u << 20);
        fs::create_symlink("../secret.png", File("route/out-link.png"));
        fs::create_symlink("good.png", File("route/good-link.png"));
        fs::create_symlink("good.png", File("route/planted-link.png"));
        planted_ = ::lchown(File("route/planted-link.png").c_str(), 65534, 65534) == 0;
    }

    // Each hostile picture is named in the left-behind line with its reason.
    void ExpectLeftBehind() const {
        const std::string line = report_.LeftBehindLine();
        for (const char* named :
             {R"("/proc/self/environ" of "Environment" (not inside the route's folder))",
              R"("../../secret.png" of "Up two" (not inside the route's folder))",
              R"("fifo.png" of "FIFO" (not a regular file))",
              R"("folder.png" of "Folder" (not a regular file))",
              R"("large.png" of "Large" (larger than 4.0 MB))",
              R"("out-link.png" of "Out link" (a link out of the route's folder))"}) {
            EXPECT_NE(line.find(std::string("the picture ") + named), std::string::npos) << line;
        }
        EXPECT_EQ(line.find("planted-link.png") != std::string::npos, planted_) << line;
        EXPECT_EQ(line.find("good"), std::string::npos) << line;
    }

    bool planted_ = false;  // a link made another user's (only root can)
};

TEST_F(PicturePathTest, ExportEmbedsOnlyRegularFilesInsideTheRoutesFolder) {
    Convert(File("route/hostile.json"), File("route/hostile.lss"));
    ExpectLeftBehind();
    const std::string lss = ReadFile(File("route/hostile.lss"));
    const std::string red = EncodeBase64(ReadFile(TestDataPath("formats/red.png")));
    std::size_t icons = 0;
    for (std::size_t at = lss.find("<Icon>"); at != std::string::npos;
         at = lss.find("<Icon>", at + 1)) {
        EXPECT_EQ(lss.compare(at + 6, red.size(), red), 0);
        ++icons;
    }
    EXPECT_EQ(icons, planted_ ? 2u : 3u);

    // A split file's picture cell, the same.
    WriteFile(File("route/cell.txt"), "1\t0.00\nD\tBest Splits\nA\t1.00\n/proc/self/environ\t\n");
    Convert(File("route/cell.txt"), File("route/cell.lss"));
    EXPECT_EQ(
        report_.LeftBehindLine(),
        R"(Left behind: the picture "/proc/self/environ" of "A" (not inside the route's folder))");
    EXPECT_EQ(ReadFile(File("route/cell.lss")).find("<Icon>"), std::string::npos);
}

TEST_F(PicturePathTest, ImportToAnotherFolderCopiesOnlyRegularFilesInsideTheRoutesFolder) {
    Convert(File("route/hostile.json"), File("elsewhere/hostile.txt"));
    ExpectLeftBehind();
    std::vector<std::string> copies{"hostile-7.png", "hostile-8.png", "hostile-9.png",
                                    "hostile.txt"};
    if (planted_) {
        copies.erase(copies.begin());
    }
    EXPECT_EQ(FolderEntries(File("elsewhere")), copies);
    EXPECT_EQ(ReadFile(File("elsewhere/hostile-9.png")), ReadFile(TestDataPath("formats/red.png")));
}

}  // namespace
