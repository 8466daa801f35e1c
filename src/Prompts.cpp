#include "Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <map>
#include <utility>

namespace {

int& OpenCount() {
    static int open = 0;
    return open;
}

bool& Cancelling() {
    static bool cancelling = false;
    return cancelling;
}

std::function<Reply(const Prompt&)>& Answerer() {
    static std::function<Reply(const Prompt&)> answerer;
    return answerer;
}

// Counts a prompt as open for as long as it lives.
class OpenPrompt {
  public:
    OpenPrompt() { ++OpenCount(); }
    ~OpenPrompt() { --OpenCount(); }
    OpenPrompt(const OpenPrompt&) = delete;
    OpenPrompt& operator=(const OpenPrompt&) = delete;
};

bool HaveWindows() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

Answer ShowQuestion(const Question& question) {
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
    QAbstractButton* escape = nullptr;
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
            escape = button;
        }
    }
    if (escape == nullptr) {
        // Escape closes a question without a Cancel button, choosing none of its answers.
        escape = box.addButton(QMessageBox::Cancel);
        escape->hide();
    }
    box.setEscapeButton(escape);
    box.exec();
    const auto found = answers.find(box.clickedButton());
    return found == answers.end() ? Answer::Cancel : found->second;
}

std::optional<std::string> ShowFileChooser(const FileChoice& choice) {
    const bool saving = choice.What == FileChoice::Kind::Save;
    QFileDialog chooser(QApplication::activeWindow(), QString::fromStdString(choice.Title),
                        QString::fromStdString(choice.Folder),
                        QString::fromStdString(choice.Filter));
    chooser.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving) {
        chooser.setDefaultSuffix(QString::fromStdString(choice.DefaultSuffix));
        // The toolkit's own dialog on every desktop, so the name field can be given the focus.
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        // Every caller asks, in its own words, before it writes over a file (New Route,
        // Export): the chooser's generic question would come first and say less.
        chooser.setOption(QFileDialog::DontConfirmOverwrite);
        chooser.selectFile(QString::fromStdString(choice.Name));
        QTimer::singleShot(0, &chooser, [&chooser] {
            if (auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                name->setFocus();
                name->selectAll();
            }
        });
    }
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(chooser.selectedFiles().front()).toStdString();
}

}  // namespace

Question Notice(std::string text, std::string informative) {
    Question notice;
    notice.Text = std::move(text);
    notice.Informative = std::move(informative);
    return notice;
}

Answer Ask(const Question& question) {
    if (Cancelling()) {
        return Answer::Cancel;
    }
    const OpenPrompt open;
    if (Answerer()) {
        return Answerer()(Prompt{&question, nullptr, nullptr}).Button;
    }
    return HaveWindows() ? ShowQuestion(question) : Answer::Cancel;
}

std::optional<std::string> ChooseFile(const FileChoice& choice) {
    if (Cancelling()) {
        return std::nullopt;
    }
    const OpenPrompt open;
    if (Answerer()) {
        return Answerer()(Prompt{nullptr, &choice, nullptr}).Path;
    }
    return HaveWindows() ? ShowFileChooser(choice) : std::nullopt;
}

bool RunDialog(QDialog& dialog) {
    if (Cancelling()) {
        return false;
    }
    const OpenPrompt open;
    if (Answerer()) {
        return Answerer()(Prompt{nullptr, nullptr, &dialog}).Accepted;
    }
    if (dialog.parentWidget() == nullptr) {
        dialog.setParent(QApplication::activeWindow(), dialog.windowFlags());
    }
    return dialog.exec() == QDialog::Accepted;
}

struct TaskProgress::Shown {
    OpenPrompt Open;
    std::unique_ptr<QProgressDialog> Dialog;
};

TaskProgress::TaskProgress(std::string text)
    : text_(std::move(text)), shown_(std::make_unique<Shown>()) {}

TaskProgress::~TaskProgress() = default;

bool TaskProgress::Step(std::size_t done, std::size_t total) {
    if (cancelled_ || Cancelling()) {
        return false;
    }
    if (Answerer()) {
        const ProgressStep step{text_, done, total};
        cancelled_ = Answerer()(Prompt{nullptr, nullptr, nullptr, &step}).CancelTask;
        return !cancelled_;
    }
    if (!HaveWindows()) {
        return true;
    }
    if (!shown_->Dialog) {
        shown_->Dialog = std::make_unique<QProgressDialog>(QString::fromStdString(text_),
                                                           QStringLiteral("Cancel"), 0, 1,
                                                           QApplication::activeWindow());
        QProgressDialog& dialog = *shown_->Dialog;
        dialog.setWindowTitle(QStringLiteral("Quorvel"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(500);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(0);
    }
    QProgressDialog& dialog = *shown_->Dialog;
    // Qt's bar counts in int: a task of more steps is shown in proportion.
    constexpr std::size_t kMost = 1'000'000;
    const std::size_t scale = total / kMost + 1;
    dialog.setMaximum(static_cast<int>(total / scale));
    dialog.setValue(static_cast<int>(std::min(done, total) / scale));  // shows it when due
    cancelled_ = dialog.wasCanceled();
    return !cancelled_;
}

bool AnyOpen() {
    return OpenCount() > 0;
}

void CancelPrompts() {
    Cancelling() = true;
    if (!HaveWindows()) {
        return;
    }
    // Innermost first; each closes its own event loop, which ends once this call returns.
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            break;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
}

void SetAnswererForTests(std::function<Reply(const Prompt&)> answerer) {
    Answerer() = std::move(answerer);
}

std::string ButtonTitle(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "OK";
        case Answer::Cancel:
            return "Cancel";
        case Answer::Save:
            return "Save";
        case Answer::Discard:
            return "Discard";
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
        case Answer::OpenInEditor:
            return "Open in Editor";
        case Answer::Resume:
            return "Resume";
        case Answer::Import:
            return "Import";
        case Answer::RealTime:
            return "Real Time";
        case Answer::GameTime:
            return "Game Time";
        case Answer::Update:
            return "Update";
    }
    return "";
}
