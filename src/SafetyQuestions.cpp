#include "SafetyQuestions.h"

#include "PathParts.h"
#include "QuorvelEngine.h"

namespace {

std::string TimeText(std::int32_t time) {
    return LongToTimeString(time, /*ShowPlus=*/false, /*ShortForm=*/true);
}

// The file's name without its folder, for a short question: "/runs/any.txt" -> "any.txt".
std::string NameOf(const std::string& path) {
    return std::string(NamePart(path, kPathSeparator));
}

}  // namespace

Question RefusedFileNotice(const std::string& path, const std::string& why, bool mendable) {
    Question question;
    question.Text = NameOf(path) + " was not opened.";
    question.Informative = why + " The file was left as it is.";
    question.Buttons = {Answer::Ok};
    question.Default = Answer::Ok;
    if (mendable) {
        question.Informative = why + " Open it in the editor to mend it, or leave it as it is.";
        question.Buttons = {Answer::OpenInEditor, Answer::Cancel};
        question.Default = Answer::Cancel;
    }
    return question;
}

Question SaveBeforeLosingQuestion(Losing how, const UnsavedResults& results) {
    Question question;
    const std::string what =
        results.FasterRun ? "your new personal best" : "your new best segments";
    const char* before = how == Losing::ByReset  ? " before resetting?"
                         : how == Losing::ByQuit ? " before quitting?"
                                                 : " before opening another split file?";
    question.Text = "Save " + what + before;
    if (results.FasterRun) {
        question.Informative = "This run (" + TimeText(results.RunTime) + ") beats the kept run";
        question.Informative += results.KeptTime != 0 ? " (" + TimeText(results.KeptTime) + ")."
                                                      : ", which has no time.";
    } else {
        question.Informative = "The run holds segments faster than your best splits.";
    }
    question.Buttons = {Answer::Save, Answer::Discard, Answer::Cancel};
    question.Default = Answer::Save;
    return question;
}

Question ReplaceKeptRunQuestion(const SaveRunConcern& concern) {
    Question question;
    if (concern.What == SaveRunConcern::Kind::Slower) {
        question.Text = "This run (" + TimeText(concern.RunTime) +
                        ") is slower than the kept run (" + TimeText(concern.KeptTime) +
                        "). Replace the kept run?";
    } else {
        question.Text = "This run is unfinished (" + std::to_string(concern.DoneSplits) + " of " +
                        std::to_string(concern.Splits) + " splits done). Replace the kept run";
        question.Text += concern.KeptTime != 0 ? " (" + TimeText(concern.KeptTime) + ")?" : "?";
    }
    question.Buttons = {Answer::Replace, Answer::Cancel};
    question.Default = Answer::Cancel;
    return question;
}

Question ChangedOnDiskQuestion(const std::string& path) {
    Question question;
    question.Text = "The split file " + NameOf(path) + " changed on disk since it was opened.";
    question.Informative =
        "Reload it (the run in progress is kept as a split state), overwrite it with what this "
        "window holds, or cancel and leave it as it is on disk?";
    question.Buttons = {Answer::Reload, Answer::Overwrite, Answer::Cancel};
    question.Default = Answer::Reload;
    return question;
}

Question ReplaceFileQuestion(const std::string& loss) {
    Question question;
    question.Text = loss;
    question.Informative = "Cancel keeps it as it is.";
    question.Buttons = {Answer::Replace, Answer::Cancel};
    question.Default = Answer::Cancel;
    return question;
}

Question UpdateFileQuestion(const std::string& path) {
    Question question;
    question.Text = "Update " + NameOf(path) + "?";
    question.Informative = "What Quorvel does not hold is kept.";
    question.Buttons = {Answer::Update, Answer::Cancel};
    question.Default = Answer::Cancel;
    return question;
}

Question OpenReadOnlyQuestion(const std::string& path) {
    Question question;
    question.Text = NameOf(path) + " is open in another Quorvel window.";
    question.Informative =
        "Open it read-only here (nothing is saved: no runs, no best splits, no split state), or "
        "cancel?";
    question.Buttons = {Answer::ReadOnly, Answer::Cancel};
    question.Default = Answer::ReadOnly;
    return question;
}

Question QuitAfterFailedSaveQuestion(const std::string& reason) {
    Question question;
    question.Text = "Your run could not be saved (" + reason + ").";
    question.Informative = "Retry the save, quit anyway and lose what was not saved, or cancel?";
    question.Buttons = {Answer::Retry, Answer::QuitAnyway, Answer::Cancel};
    question.Default = Answer::Retry;
    return question;
}
