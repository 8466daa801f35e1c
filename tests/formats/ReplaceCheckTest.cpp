// What replacing a file would lose, in the words the window and the converter say it with.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "ConvertFixture.h"
#include "QuorvelSplitFile.h"
#include "ReplaceCheck.h"

namespace {

using ReplaceCheckTest = ConvertFixture;
using V = ReplaceVerdict;

TEST_F(ReplaceCheckTest, OnlyAnOlderCopyOfTheSameRouteIsReplacedWithoutAWord) {
    // route.txt: 12 attempts, a note on "Level 1"; the route written is the same.
    const std::string routeText = ReadFile(TestDataPath("two-runs-with-notes.txt"));
    WriteFile(File("route.txt"), routeText);
    WriteFile(File("x.lss"), ReadFile(TestDataPath("formats/version-1.8-subsplits.lss")));
    WriteFile(File("README.md"), "# Notes\n\nHow to play.\nMore text.\n");
    std::filesystem::create_symlink(File("route.txt"), File("link.txt"));
    std::filesystem::create_directory(File("folder.txt"));
    const RouteData same = ReadQuorvelSplitText(routeText);
    RouteData more = same;
    more.AttemptCount = 13;
    RouteData fewer = same;
    fewer.AttemptCount = 11;
    RouteData noNote = more;
    noNote.Splits[0].Notes = {"", "", ""};
    const std::tuple<const char*, const char*, RouteData, V::Kind, const char*> cases[] = {
        {"new.txt", "", same, V::Free, ""},
        {"link.txt", "route.txt", same, V::SameFile, "link.txt is the file being written from."},
        {"route.txt", "", more, V::OlderCopyOfSameRoute, ""},
        {"route.txt", "", same, V::OlderCopyOfSameRoute, ""},
        {"route.txt", "", fewer, V::WouldLose,
         "route.txt is a Quorvel split file of this route with 12 attempts, more than the 11 "
         "written now; replacing it loses them."},
        {"route.txt", "", noNote, V::WouldLose,
         "route.txt is a Quorvel split file of this route with notes the new one does not "
         "have; replacing it loses them."},
        {"route.txt", "", NewRouteData(), V::WouldLose,
         "route.txt is a Quorvel split file with 12 attempts and notes; replacing it loses "
         "them."},
        {"x.lss", "", same, V::WouldLose,
         "x.lss is a LiveSplit file with 1,788 attempts; replacing it loses them."},
        {"README.md", "", same, V::WouldLose,
         "README.md is not a split file; replacing it loses its contents."},
        {"folder.txt", "", same, V::WouldLose,
         "folder.txt is a folder; it cannot be replaced by a file."},
    };
    for (const auto& [out, in, writing, kind, loss] : cases) {
        SCOPED_TRACE(out);
        const ReplaceVerdict verdict =
            CheckReplace(File(out), *in == '\0' ? std::string() : File(in), writing);
        EXPECT_EQ(verdict.Outcome, kind);
        EXPECT_EQ(verdict.Loss, loss);
    }
}

}  // namespace
