// Import and Export in the window: the file chosen, the questions asked, the file written
// and opened. The conversions themselves are the format tests'.
#include "ShellFixture.h"

namespace {

// Two splits with real and game times, a kept run and one more comparison.
constexpr char kBothClocks[] =
    "<?xml version=\"1.0\"?>\n<Run version=\"1.7.0\"><GameName>Tunic</GameName><CategoryName>"
    "Any%</CategoryName><AttemptCount>30</AttemptCount><Segments><Segment><Name>Forest</Name>"
    "<SplitTimes><SplitTime name=\"Personal Best\"><RealTime>00:00:41</RealTime><GameTime>"
    "00:00:40</GameTime></SplitTime><SplitTime name=\"Rival\"><RealTime>00:00:43</RealTime>"
    "<GameTime>00:00:42</GameTime></SplitTime></SplitTimes><BestSegmentTime><RealTime>00:00:39"
    "</RealTime></BestSegmentTime></Segment><Segment><Name>Boss</Name><SplitTimes><SplitTime "
    "name=\"Personal Best\"><RealTime>00:01:30</RealTime><GameTime>00:01:20</GameTime>"
    "</SplitTime></SplitTimes></Segment></Segments></Run>\n";

class ImportExport : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch();
        answer_ = Answer::RealTime;
    }
    void Choose(const std::string& path) { chosen_ = path; }
    // Each question as "text | what is at stake".
    std::vector<std::string> Told() const {
        std::vector<std::string> told;
        for (std::size_t i = 0; i < asked_.size(); ++i) {
            told.push_back(asked_[i] + " | " + informative_[i]);
        }
        return told;
    }
};

TEST_F(ImportExport, ImportWritesTheSplitFileBesideTheSourceOpensItAndReportsOnce) {
    Choose(WriteSplitFile("tunic.lss", kBothClocks));
    app->ImportMenuClick();
    EXPECT_EQ(choices_.at(0).Filter, "Split files of other timers (*.lss *.json)");
    EXPECT_EQ(std::tuple(TimerData->SplitFileName, app->window->Title(),
                         TimerData->GetFullColumnHeader(2), TimerData->GetDataCellTimer(1, 2)),
              std::tuple(Root() + "tunic.txt", "Quorvel - tunic.txt - Tunic - Any%",
                         "Personal Best", 9000));  // real time, the first answer
    EXPECT_EQ(Told(), (std::vector<std::string>{
                          "tunic.lss holds real times and game times. | Which times should the "
                          "splits use?",
                          "Imported tunic.lss as tunic.txt. | Left behind: game times\n"}));
    answers_ = {Answer::GameTime};  // over the file imported just now, without a question
    app->ImportMenuClick();
    EXPECT_EQ(std::tuple(TimerData->GetDataCellTimer(1, 2), asked_.size()), std::tuple(8000, 4u));
}

// Files that are not an older copy of the same route were replaced after Qt's generic
// question: each is now said in Quorvel's words, with Cancel the default, and the open split
// file is refused outright.
TEST_F(ImportExport, AFileThatWouldBeLostIsNamedWithWhatItHoldsAndCancelKeepsIt) {
    OpenRoute();
    const std::string lss = ReadFile(TestDataPath("formats/history.lss"));
    WriteSplitFile("tunic.lss", kBothClocks);
    const std::tuple<void (AppDelegate::*)(), const char*, const char*, std::string, const char*>
        cases[] = {
            {&AppDelegate::ImportMenuClick, "tunic.lss", "tunic.txt", kThreeSplits,
             "tunic.txt is a Quorvel split file with 12 attempts; replacing it loses them."},
            {&AppDelegate::ExportMenuClick, "README.txt", "README.txt", "How to play.\n",
             "README.txt is not a split file; replacing it loses its contents."},
            {&AppDelegate::NewRouteMenuClick, "game.lss", "game.lss", lss,
             "game.lss is a LiveSplit file with 9 attempts; replacing it loses them."},
            {&AppDelegate::ExportMenuClick, "route.txt", "route.txt", kThreeSplits,
             "route.txt is the open split file: it is never exported onto itself."},
            {&AppDelegate::NewRouteMenuClick, "route.txt", "route.txt", kThreeSplits,
             "route.txt is the open split file."},
        };
    onDialog_ = [](QDialog&) -> bool {
        ADD_FAILURE() << "the editor was opened";
        return false;
    };
    for (const auto& [command, chosen, atRisk, text, said] : cases) {
        SCOPED_TRACE(chosen);
        const std::string path = WriteSplitFile(atRisk, text);
        Choose(Root() + chosen);
        asked_.clear();
        if (command == &AppDelegate::ImportMenuClick) {
            answers_ = {Answer::RealTime};  // the clock first; then Cancel
        }
        (app.get()->*command)();
        EXPECT_EQ(ReadFile(path), text);
        ASSERT_FALSE(asked_.empty());
        EXPECT_EQ(asked_.back(), said);
        EXPECT_EQ(TimerData->SplitFileName, Root() + "route.txt");
    }
}

TEST_F(ImportExport, ExportProposesAFreeNameAndUpdatesALiveSplitFileAfterAsking) {
    const std::string lss = ReadFile(TestDataPath("formats/history.lss"));
    Choose(WriteSplitFile("tunic.lss", lss));
    answers_ = {Answer::RealTime};
    app->ImportMenuClick();
    ASSERT_EQ(TimerData->SplitFileName, Root() + "tunic.txt");
    answers_ = {Answer::Update};
    app->ExportMenuClick();
    EXPECT_EQ(choices_.back().Name, "tunic-2.lss");  // never the file it came from
    EXPECT_EQ(Told().back(), "Update tunic.lss? | What Quorvel does not hold is kept.");
    EXPECT_EQ(ReadFile(Root() + "tunic.lss"), lss);  // updated: its game icon and all kept
}

// The game-time answer converted a second time and left a second set of icons.
TEST_F(ImportExport, ImportAsksTheClockOnceShowsItsProgressAndACancelLeavesNoFile) {
    Choose(WriteSplitFile("tunic.lss", ReadFile(TestDataPath("formats/history.lss"))));
    answer_ = Answer::GameTime;
    cancelAtStep_ = 1;
    app->ImportMenuClick();
    EXPECT_EQ(FolderEntries(Root()), (std::vector<std::string>{"config", "runtime", "tunic.lss"}));
    cancelAtStep_.reset();
    asked_.clear();
    app->ImportMenuClick();
    EXPECT_EQ(FolderEntries(Root()),
              (std::vector<std::string>{"config", "runtime", "tunic-2.png", "tunic.history.sqlite",
                                        "tunic.history.sqlite-shm", "tunic.history.sqlite-wal",
                                        "tunic.lss", "tunic.txt"}));
    EXPECT_EQ(asked_, (std::vector<std::string>{"tunic.lss holds real times and game times.",
                                                "Imported tunic.lss as tunic.txt."}));
    EXPECT_EQ(progress_.back().Text, "Importing tunic.lss...");
}

TEST_F(ImportExport, BadInputIsToldAndNothingIsWrittenOrOpened) {
    Choose(WriteSplitFile("bad.json", "{\"splits\": [{\"time\": \"1:xx\"}]}"));
    app->ImportMenuClick();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_.at(0), "bad.json cannot be imported.");
    EXPECT_NE(informative_.at(0).find("has a letter"), std::string::npos);
    EXPECT_EQ(std::tuple(std::filesystem::exists(Root() + "bad.txt"), TimerData->GetColumnCount()),
              std::tuple(false, 0u));
}

TEST_F(ImportExport, ExportWritesTheFormatOfTheChosenExtension) {
    OpenRoute();
    Choose(Root() + "route.json");
    app->ExportMenuClick();
    EXPECT_EQ(choices_.at(0).Name, "route.lss");
    EXPECT_NE(ReadFile(Root() + "route.json").find("\"time\": \"0:00:36.000000\""),
              std::string::npos);
    EXPECT_EQ(Told(),
              std::vector<std::string>{"Exported route.json. | Left behind: 1 stored run\n"});
}

}  // namespace
