// The questions before results are lost: their texts say what is at stake, and the safe
// answer is the default.
#include "SafetyQuestions.h"

#include <gtest/gtest.h>

TEST(SafetyQuestions, TextsSayWhatIsAtStakeAndTheSafeAnswerIsTheDefault) {
    UnsavedResults pb;
    pb.FasterRun = true;
    pb.RunTime = 3000;
    pb.KeptTime = 3293;
    UnsavedResults segments;
    segments.NewBestSegments = true;
    SaveRunConcern slower{SaveRunConcern::Kind::Slower, 3626, 3293, 2, 2};
    SaveRunConcern unfinished{SaveRunConcern::Kind::Unfinished, 0, 3293, 1, 3};
    const struct {
        Question question;
        const char* text;
        Answer safe;
    } cases[] = {
        {SaveBeforeLosingQuestion(/*quitting=*/false, pb),
         "Save your new personal best before resetting?", Answer::Save},
        {SaveBeforeLosingQuestion(/*quitting=*/true, pb),
         "Save your new personal best before quitting?", Answer::Save},
        {SaveBeforeLosingQuestion(/*quitting=*/false, segments),
         "Save your new best segments before resetting?", Answer::Save},
        {ReplaceKeptRunQuestion(slower),
         "This run (36.26) is slower than the kept run (32.93). Replace the kept run?",
         Answer::Cancel},
        {ReplaceKeptRunQuestion(unfinished),
         "This run is unfinished (1 of 3 splits done). Replace the kept run (32.93)?",
         Answer::Cancel},
        {QuitAfterFailedSaveQuestion("No space left on device"),
         "Your run could not be saved (No space left on device).", Answer::Retry},
        {ChangedOnDiskQuestion("/runs/any.txt"),
         "The split file any.txt changed on disk since it was opened.", Answer::Reload},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.question.Text, c.text);
        EXPECT_EQ(c.question.Default, c.safe) << c.text;
        // Escape gives Cancel, so every question must offer it.
        EXPECT_NE(std::find(c.question.Buttons.begin(), c.question.Buttons.end(), Answer::Cancel),
                  c.question.Buttons.end())
            << c.text;
    }
    EXPECT_EQ(SaveBeforeLosingQuestion(false, pb).Informative,
              "This run (30.00) beats the kept run (32.93).");
}
