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
    answers_ = {Answer::Replace, Answer::GameTime};  // over the file imported just now
    app->ImportMenuClick();
    EXPECT_EQ(TimerData->GetDataCellTimer(1, 2), 8000);
}

TEST_F(ImportExport, AnExistingSplitFileIsKeptUnlessTheRunnerSaysReplace) {
    const std::string kept = WriteSplitFile("tunic.txt", kThreeSplits);
    Choose(WriteSplitFile("tunic.lss", kBothClocks));
    answer_ = Answer::Cancel;
    app->ImportMenuClick();
    EXPECT_EQ(std::tuple(ReadFile(kept), TimerData->GetColumnCount(), asked_.size()),
              std::tuple(kThreeSplits, 0u, 1u));
    EXPECT_EQ(asked_.at(0).substr(0, 21), "tunic.txt already exi");
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
