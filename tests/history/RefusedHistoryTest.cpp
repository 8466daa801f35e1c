// A history file that is not ours to write is refused with a message and left byte for
// byte as it was, however much is recorded afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include "HistoryRecorder.h"
#include "TestFiles.h"

using namespace history;

TEST(RefusedHistory, AFileThatIsNotOursIsRefusedAndLeftWhole) {
    struct Case {
        std::string sample;  // under tests/data/history; "" for a symbolic link
        std::string message;
    };
    const Case cases[] = {
        {"not-sqlite.history.sqlite",
         "route.history.sqlite was not opened: it is not a history file."},
        {"foreign.history.sqlite",
         "route.history.sqlite was not opened: it is not a history file."},
        {"damaged.history.sqlite", "route.history.sqlite was not opened: it is damaged."},
        {"newer-version.history.sqlite",
         "route.history.sqlite was not opened: it was written by a newer Quorvel."},
        {"", "route.history.sqlite was not opened: it is a symbolic link."},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string route = dir.File("route.txt");
        const std::string file = dir.File("route.history.sqlite");
        WriteFile(route, "0\t0\n");
        std::string bytes;
        if (c.sample.empty()) {
            // Planted by someone else: the file it leads to must not be touched.
            bytes = ReadFile(TestDataPath("history/newer-version.history.sqlite"));
            WriteFile(dir.File("elsewhere"), bytes);
            ASSERT_EQ(::symlink("elsewhere", file.c_str()), 0);
        } else {
            bytes = ReadFile(TestDataPath("history/" + c.sample));
            WriteFile(file, bytes);
        }
        const auto before = FolderEntries(dir.Path());
        {
            HistoryRecorder recorder;
            const OpenResult opened = recorder.Open(route, Access::Writable, {"Forest", "Castle"});
            EXPECT_EQ(opened.What, OpenResult::Status::Refused) << c.sample;
            EXPECT_EQ(opened.Message, c.message);
            EXPECT_FALSE(recorder.Recording());
            recorder.AttemptStarted(1, TimeClock::Real);
            recorder.SplitMade(0, 4000);
            recorder.AttemptReset(5000, 0);
            recorder.WaitUntilWritten();
            History loaded;
            std::string problem;
            EXPECT_FALSE(recorder.Load(&loaded, &problem));
            EXPECT_EQ(problem, c.message);
        }
        EXPECT_EQ(ReadFile(file), bytes) << c.sample;
        EXPECT_EQ(FolderEntries(dir.Path()), before) << c.sample;
    }
}
