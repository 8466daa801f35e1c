// The questions before results are lost, one of each kind: their texts say what is at stake,
// the safe answer is the default, and Escape (Cancel) is always offered.
#include "SafetyQuestions.h"

#include <gtest/gtest.h>

TEST(SafetyQuestions, TextsSayWhatIsAtStakeAndTheSafeAnswerIsTheDefault) {
    const UnsavedResults pb{/*FasterRun=*/true, /*NewBestSegments=*/false, 3000, 3293};
    using Kind = SaveRunConcern::Kind;
    const struct {
        Question question;
        const char* text;
        Answer safe;
    } cases[] = {
        {SaveBeforeLosingQuestion(Losing::ByReset, pb),
         "Save your new personal best before resetting?", Answer::Save},
        {ReplaceKeptRunQuestion({Kind::Slower, 3626, 3293, 2, 2}),
         "This run (36.26) is slower than the kept run (32.93). Replace the kept run?",
         Answer::Cancel},
        {ReplaceKeptRunQuestion({Kind::Unfinished, 0, 3293, 1, 3}),
         "This run is unfinished (1 of 3 splits done). Replace the kept run (32.93)?",
         Answer::Cancel},
        {QuitAfterFailedSaveQuestion("No space left on device"),
         "Your run could not be saved (No space left on device).", Answer::Retry},
        {ChangedOnDiskQuestion("/runs/any.txt"),
         "The split file any.txt changed on disk since it was opened.", Answer::Reload},
    };
    for (const auto& c : cases) {
        const std::vector<Answer>& offered = c.question.Buttons;
        EXPECT_EQ(
            std::tuple(c.question.Text, c.question.Default,
                       std::find(offered.begin(), offered.end(), Answer::Cancel) != offered.end()),
            std::tuple(std::string(c.text), c.safe, true));
    }
    EXPECT_EQ(SaveBeforeLosingQuestion(Losing::ByReset, pb).Informative,
              "This run (30.00) beats the kept run (32.93).");
}
