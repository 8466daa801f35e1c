// A route's history through Quorvel and back: every attempt and segment time of an XML split
// file goes into the history beside the imported route and comes out again, on the clock the
// route was imported on; an export onto the file updates it in place and keeps every byte
// Quorvel does not hold. history.lss is hand-made: an attempt of id -2, ids 0 and 7 with
// segment times and no attempt, a skipped split, real and game times, a byte-order mark,
// CR LF.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ConvertFixture.h"
#include "HistoryDatabase.h"
#include "HistoryImport.h"
#include "LssReader.h"
#include "QuorvelSplitFile.h"

namespace {

using HistoryTransferTest = ConvertFixture;
using history::TimeClock;

// The history an XML split file holds, read on one clock.
history::History HistoryOf(const std::string& lss, TimingMethod timing) {
    history::HistoryImport imported;
    ConvertReport ignored;
    ReadLss(ReadFile(lss), timing, &ignored, &imported);
    history::ImportSummary summary;
    return history::BuildImportedHistory(imported, &summary);
}

TEST_F(HistoryTransferTest, EveryAttemptAndSegmentTimeComesBackOnTheClockOfTheImport) {
    const std::string sample = TestDataPath("formats/history.lss");
    for (const auto& [timing, kept, other] :
         {std::tuple{TimingMethod::RealTime,
                     "4 attempts and 11 segment times kept (3 of them from ids with no attempt)",
                     "<GameTime>"},
          std::tuple{TimingMethod::GameTime,
                     "4 attempts and 11 segment times kept (3 of them from ids with no attempt)",
                     "<RealTime>"}}) {
        SCOPED_TRACE(other);
        Convert(sample, File("route.txt"), timing);
        EXPECT_NE(report_.Text().find(std::string(kept) + "\n"), std::string::npos)
            << report_.Text();
        // The route's clock is what the export writes its times under, unasked.
        Convert(File("route.txt"), File("out.lss"));
        const std::string out = ReadFile(File("out.lss"));
        EXPECT_EQ(out.find(other), std::string::npos) << out;
        EXPECT_EQ(HistoryOf(File("out.lss"), timing), HistoryOf(sample, timing));
        Convert(File("route.txt"), File("out.json"));
        EXPECT_NE(
            report_.LeftBehindLine().find("4 attempts of history, 11 segment times of history"),
            std::string::npos)
            << report_.LeftBehindLine();
    }
}

TEST_F(HistoryTransferTest, AnUpdateInPlaceRewritesOnlyWhatQuorvelHolds) {
    const std::string base = ReadFile(TestDataPath("formats/history.lss"));
    WriteFile(File("route.lss"), base);
    Convert(File("route.lss"), File("route.txt"));
    ConvertOptions update;
    update.Update = true;
    ASSERT_EQ(ConvertSplitFile(File("route.txt"), File("route.lss"), update, &report_).Outcome,
              ConvertResult::Ok);
    EXPECT_EQ(ReadFile(File("route.lss")), base);  // nothing changed, not a byte

    // In Quorvel: one more attempt, a faster Heir, Castle renamed, no lead-in, and the
    // stored run "Rival" removed (the file keeps it: Quorvel no longer holds it).
    RouteData route = ReadQuorvelSplitText(ReadFile(File("route.txt")));
    route.AttemptCount = 10;
    route.StartOffset = 0;
    route.Splits[1].Name = "Castle Gate";
    route.Splits[2].BestSegment = 7900;
    route.Splits[2].RunTimes = {0, 18900};
    RemoveRun(&route, 0);
    WriteFile(File("route.txt"), QuorvelSplitText(route));
    {
        history::HistoryDatabase db;
        db.Open(File("route.txt"), history::Access::Writable, {"Forest", "Castle Gate", "Heir"});
        const auto id = db.AddAttempt(10, TimeClock::Real, 1709300000);
        ASSERT_TRUE(id);
        const std::int32_t segments[] = {4000, 6900, 8000};
        std::int32_t running = 0;
        for (std::size_t at = 0; at < 3; ++at) {
            running += segments[at];
            db.PutEntry(*id, at, {running, segments[at], history::EntryKind::Timed, true});
        }
        db.SetEnding(*id, history::Ending::Finished, 1709300190, 18900, std::nullopt);
    }
    ASSERT_EQ(ConvertSplitFile(File("route.txt"), File("route.lss"), update, &report_).Outcome,
              ConvertResult::Ok);
    std::string expected = base;
    const auto change = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    const auto time = [](std::int32_t id, const char* real) {
        return "        <Time id=\"" + std::to_string(id) + "\">\r\n          <RealTime>" + real +
               "</RealTime>\r\n        </Time>\r\n";
    };
    change("<Offset>-00:00:01.5000000", "<Offset>00:00:00.0000000");
    change("<AttemptCount>9", "<AttemptCount>10");
    change("    </Attempt>\r\n  </AttemptHistory>",
           "    </Attempt>\r\n    <Attempt id=\"10\" started=\"03/01/2024 13:33:20\" "
           "isStartedSynced=\"True\" ended=\"03/01/2024 13:36:30\" isEndedSynced=\"True\">\r\n"
           "      <RealTime>00:03:09.0000000</RealTime>\r\n    </Attempt>\r\n"
           "  </AttemptHistory>");
    change(
        "        </Time>\r\n      </SegmentHistory>\r\n    </Segment>\r\n    <Segment>\r\n"
        "      <Name>Castle</Name>",
        "        </Time>\r\n" + time(10, "00:00:40.0000000") +
            "      </SegmentHistory>\r\n    </Segment>\r\n    <Segment>\r\n"
            "      <Name>Castle Gate</Name>");
    change("<RealTime>00:01:20</RealTime>\r\n        </Time>\r\n",
           "<RealTime>00:01:20</RealTime>\r\n        </Time>\r\n" + time(10, "00:01:09.0000000"));
    change("<RealTime>00:03:10.5000000</RealTime>\r\n          <GameTime>00:03:00.2500000",
           "<RealTime>00:03:09.0000000</RealTime>\r\n          <GameTime>00:03:00.2500000");
    change(
        "<RealTime>00:01:20.5000000</RealTime>\r\n        <GameTime>00:01:15</GameTime>\r\n"
        "      </BestSegmentTime>",
        "<RealTime>00:01:19.0000000</RealTime>\r\n        <GameTime>00:01:15</GameTime>\r\n"
        "      </BestSegmentTime>");
    change("<RealTime>00:02:23.0300000</RealTime>\r\n        </Time>\r\n",
           "<RealTime>00:02:23.0300000</RealTime>\r\n        </Time>\r\n" +
               time(10, "00:01:20.0000000"));
    EXPECT_EQ(ReadFile(File("route.lss")), expected);
}

// The tool refuses an existing OUT unless told how, and updates only what it can.
TEST_F(HistoryTransferTest, TheToolUpdatesWithUpdateReplacesWithForceAndElseWritesNothing) {
    const std::string base = ReadFile(TestDataPath("formats/history.lss"));
    const std::string old = ReadFile(TestDataPath("formats/first-version.lss"));
    Convert(TestDataPath("formats/history.lss"), File("route.txt"));
    const std::string q = "'" + File("route.txt") + "' '";
    // Each: the options, OUT and its text, the exit status, what is said, whether OUT holds
    // the same bytes afterwards (an update of a route that did not change changes nothing).
    const std::tuple<const char*, const char*, std::string, int, const char*, bool> cases[] = {
        {"", "route.lss", base, 1,
         "route.lss is a LiveSplit file with 9 attempts; replacing it loses them. Nothing "
         "written; --update updates it in place, --force replaces it.",
         true},
        {"", "route.json", "{}", 1, "Nothing written; --force replaces it (--update updates", true},
        {"--update ", "route.json", "{}", 1, "(--update updates only .lss files)", true},
        {"--update ", "old.lss", old, 1,
         "old.lss: cannot be updated: it is of version 1.3 or older; only files of version 1.6 "
         "and later are updated. Nothing written; --force replaces it.",
         true},
        {"--update --force ", "route.lss", base, 2, "give --update or --force, not both", true},
        {"--update ", "route.lss", base, 0, "", true},
        {"--force ", "route.lss", base, 0, "", false},
    };
    for (const auto& [options, out, text, status, said, same] : cases) {
        SCOPED_TRACE(std::string(options) + out);
        WriteFile(File(out), text);
        EXPECT_EQ(RunTool(options + q + File(out) + "'"), status);
        EXPECT_NE(said_.find(said), std::string::npos) << said_;
        EXPECT_EQ(ReadFile(File(out)) == text, same);
    }
}

}  // namespace
