#include "SafetyQuestions.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "PathParts.h"
#include "QuorvelEngine.h"

namespace {

std::function<Answer(const Question&)>& TestAnswerer() {
    static std::function<Answer(const Question&)> answerer;
    return answerer;
}

std::string TimeText(std::int32_t time) {
    return LongToTimeString(time, /*ShowPlus=*/false, /*ShortForm=*/true);
}

// The file's name without its folder, for a short question: "/runs/any.txt" -> "any.txt".
std::string NameOf(const std::string& path) {
    return std::string(NamePart(path, kPathSeparator));
}

}  // namespace

void SetAnswererForTests(std::function<Answer(const Question&)> answerer) {
    TestAnswerer() = std::move(answerer);
}

std::string ButtonTitle(Answer answer) {
    switch (answer) {
        case Answer::Save:
            return "Save";
        case Answer::Discard:
            return "Discard";
        case Answer::Cancel:
            return "Cancel";
        case Answer::Replace:
            return "Replace";
        case Answer::Reload:
            return "Reload";
        case Answer::Overwrite:
            return "Overwrite";
        case Answer::Retry:
            return "Retry";
        case Answer::QuitAnyway:
            return "Quit Anyway";
        case Answer::ReadOnly:
            return "Open Read-Only";
        case Answer::Ok:
            return "OK";
        case Answer::OpenInEditor:
            return "Open in Editor";
    }
    return "";
}

Answer Ask(const Question& question) {
    if (TestAnswerer()) {
        return TestAnswerer()(question);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return Answer::Cancel;
    }
    QMessageBox box(QApplication::activeWindow());
    const bool notice = question.Buttons.size() == 1 && question.Buttons[0] == Answer::Ok;
    box.setIcon(notice ? QMessageBox::Warning : QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Quorvel"));
    box.setText(QString::fromStdString(question.Text));
    box.setInformativeText(QString::fromStdString(question.Informative));
    // The standard buttons where Qt has them, so they look and sit as the desktop expects.
    static const std::map<Answer, QMessageBox::StandardButton> kStandard = {
        {Answer::Save, QMessageBox::Save},     {Answer::Discard, QMessageBox::Discard},
        {Answer::Cancel, QMessageBox::Cancel}, {Answer::Retry, QMessageBox::Retry},
        {Answer::Ok, QMessageBox::Ok},
    };
    std::map<QAbstractButton*, Answer> answers;
    QAbstractButton* cancel = nullptr;
    for (const Answer answer : question.Buttons) {
        QAbstractButton* button = nullptr;
        if (const auto standard = kStandard.find(answer); standard != kStandard.end()) {
            button = box.addButton(standard->second);
        } else {
            const auto role = answer == Answer::QuitAnyway || answer == Answer::Overwrite ||
                                      answer == Answer::Replace
                                  ? QMessageBox::DestructiveRole
                                  : QMessageBox::AcceptRole;
            button = box.addButton(QString::fromStdString(ButtonTitle(answer)), role);
        }
        answers[button] = answer;
        if (answer == question.Default) {
            box.setDefaultButton(static_cast<QPushButton*>(button));
        }
        if (answer == Answer::Cancel || answer == Answer::Ok) {
            cancel = button;
        }
    }
    if (cancel != nullptr) {
        box.setEscapeButton(cancel);
    }
    box.exec();
    const auto found = answers.find(box.clickedButton());
    return found == answers.end() ? Answer::Cancel : found->second;
}

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

Question SaveBeforeLosingQuestion(bool quitting, const UnsavedResults& results) {
    Question question;
    const std::string what =
        results.FasterRun ? "your new personal best" : "your new best segments";
    question.Text = "Save " + what + (quitting ? " before quitting?" : " before resetting?");
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
