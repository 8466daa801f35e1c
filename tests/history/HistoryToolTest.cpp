// quorvel-history's exit status and messages, run as a runner's script runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "HistoryBuilder.h"
#include "HistoryDatabase.h"
#include "TestFiles.h"

using namespace history;

TEST(HistoryTool, SaysWhatItShowsOrWhyNotInItsExitStatus) {
    TempDir dir;
    const std::string splitFile =
        "2\t0\nRoute\tBest Splits\tPB\nA\t10.00\t10.00\n\t\t\nB\t20.00\t30.00\n\t\t\n"
        "C\t30.00\t1:00.00\n\t\t\n";
    for (const char* name : {"route.txt", "bare.txt", "newer.txt"}) {
        WriteFile(dir.File(name), splitFile);
    }
    WriteFile(dir.File("newer.history.sqlite"),
              ReadFile(TestDataPath("history/newer-version.history.sqlite")));
    {
        HistoryDatabase db;
        db.Open(dir.File("route.txt"), Access::Writable, {"A", "B", "C"});
        ASSERT_TRUE(db.ReplaceAll(MakeHistory(
            {"A", "B", "C"},
            {MakeAttempt(1, Ending::Finished, "10 20 30"), MakeAttempt(2, Ending::Reset, "12")})));
    }
    struct Case {
        std::string arguments;
        int status;
        std::string output;  // a line the output (stdout, then stderr) must hold
    };
    const Case cases[] = {
        {"route.txt", 0, "route.txt: 2 attempts, 1 finished, time played 1:12.00 (real time)\n"},
        {"--csv route.txt", 0, "\r\nA,10.00,11.00,11.00,12.00,12.00,10.00,2,0\r\n"},
        {"--help", 0, "usage: quorvel-history [--csv] ROUTE\n"},
        {"missing.txt", 1, "quorvel-history: missing.txt: The file could not be opened"},
        {"bare.txt", 1, "quorvel-history: bare.txt has no history yet (bare.history.sqlite).\n"},
        {"newer.txt", 1,
         "quorvel-history: newer.history.sqlite was not opened: it was written by a newer "
         "Quorvel.\n"},
        {"", 2, "quorvel-history: give one split file\n"},
        {"route.txt bare.txt", 2, "quorvel-history: give one split file\n"},
        {"--bogus route.txt", 2, "quorvel-history: unknown option --bogus\n"},
    };
    for (const Case& c : cases) {
        const std::string command =
            "cd " + dir.Path() + " && " + QUORVEL_HISTORY_TOOL + " " + c.arguments + " >out 2>err";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << c.arguments;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.arguments;
        const std::string output = ReadFile(dir.File("out")) + ReadFile(dir.File("err"));
        EXPECT_NE(output.find(c.output), std::string::npos) << c.arguments << ":\n" << output;
    }
}
