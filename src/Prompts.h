// The one place that asks the runner: every modal window the shell opens (a question, a notice,
// a file chooser, the route editor, the Hotkeys and Background Colour dialogs, and any dialog
// added later) is shown through here.
//
// While one is open, AnyOpen() is true, and nothing from outside the window may run a command:
// the global hotkeys are dropped (not kept for later), and so is any command that a control
// server receives. A key pressed for the game while a dialog is up never starts a run behind it.
//
// Tests answer every prompt through one answerer instead of a window: it is given the prompt
// (the question, the file choice, or the dialog built and not shown, which it may fill in) and
// returns the reply. AnyOpen() is true while it runs, as it is while a window is up.
//
//   if (Ask(ReplaceKeptRunQuestion(concern)) != Answer::Replace) return;   // Cancel, Escape
//   const auto path = ChooseFile(FileChoice::Existing("Open", RunningFolder));
//   RouteEditorDialog editor(route);
//   if (RunDialog(editor)) { ... editor.route() ... }
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QDialog;

// The buttons of a question.
enum class Answer {
    Ok,
    Cancel,
    Save,
    Discard,
    Replace,
    Reload,
    Overwrite,
    Retry,
    QuitAnyway,
    ReadOnly,
    OpenInEditor,
    Resume,
    Import,
    RealTime,
    GameTime,
    Update,
};

// A question, or a notice (the one button Ok).
struct Question {
    std::string Text;         // the question itself: "tunic.txt already exists. Replace it?"
    std::string Informative;  // what is at stake, or ""
    std::vector<Answer> Buttons = {Answer::Ok};
    Answer Default = Answer::Ok;  // taken by Return; Escape and the close box give Cancel
};

// A notice: the text and the details, with OK.
Question Notice(std::string text, std::string informative = "");

// A file to choose.
struct FileChoice {
    enum class Kind {
        Open,  // an existing file
        Save,  // a name for a file to write; the name field has the focus, its name selected
    };
    Kind What = Kind::Open;
    std::string Title;   // "Open", "Import", "Export", "New Route"
    std::string Folder;  // where the chooser starts
    std::string Name;    // the name suggested when saving: "route.lss"
    // "Split files of other timers (*.lss *.json)", filters apart by ";;"; "" for any file.
    std::string Filter;
    std::string DefaultSuffix;  // "txt": added to a name saved without one

    // An existing file: FileChoice::Existing("Open", "/home/a/runs").
    static FileChoice Existing(std::string title, std::string folder, std::string filter = "") {
        return {Kind::Open, std::move(title), std::move(folder), "", std::move(filter), ""};
    }
    // A name to write: FileChoice::ToWrite("Export", "/runs", "route.lss", "XML (*.lss)").
    static FileChoice ToWrite(std::string title, std::string folder, std::string name,
                              std::string filter, std::string defaultSuffix = "") {
        return {Kind::Save,      std::move(title),  std::move(folder),
                std::move(name), std::move(filter), std::move(defaultSuffix)};
    }
};

// Shows the question and returns the button pressed; Escape and the close box give Cancel.
// Without a window system (and no answerer), Cancel.
Answer Ask(const Question& question);
// The chosen file's path; nullopt when the runner cancelled.
std::optional<std::string> ChooseFile(const FileChoice& choice);
// Runs the dialog modally over the active window; true when it was accepted (OK). The dialog
// keeps what was typed into it, so it can be run again.
bool RunDialog(QDialog& dialog);

// A long task's progress: a window with a bar and Cancel over the active window, shown only
// once the task has taken longer than a moment (half a second). It counts as open for as
// long as it lives, shown or not, so nothing from outside the window runs meanwhile.
//
//   TaskProgress progress("Importing tunic.lss...");
//   options.Progress = [&](std::size_t done, std::size_t total) {
//       return progress.Step(done, total);                     // false once cancelled
//   };
class TaskProgress {
  public:
    explicit TaskProgress(std::string text);
    ~TaskProgress();
    TaskProgress(const TaskProgress&) = delete;
    TaskProgress& operator=(const TaskProgress&) = delete;

    // done of total steps are done; false once the runner cancelled (or the application is
    // quitting on a signal).
    bool Step(std::size_t done, std::size_t total);

  private:
    struct Shown;
    std::string text_;
    std::unique_ptr<Shown> shown_;
    bool cancelled_ = false;
};

// True while a prompt is open: no command from outside the window may run.
bool AnyOpen();

// Closes every open prompt as its Cancel would, and from now on answers every prompt at once
// as Cancel, without showing it: the application quits on a signal (QuitSignals.h).
void CancelPrompts();

// The button's title: Answer::QuitAnyway -> "Quit Anyway".
std::string ButtonTitle(Answer answer);

// ---- For tests ----

// A step of a task's progress, as the answerer sees it.
struct ProgressStep {
    std::string Text;
    std::size_t Done = 0;
    std::size_t Total = 0;
};

// A prompt as the answerer sees it: exactly one of the four is set.
struct Prompt {
    const Question* Asked = nullptr;
    const FileChoice* Choice = nullptr;
    QDialog* Dialog = nullptr;
    const ProgressStep* Progress = nullptr;  // each step of a TaskProgress
};
// The answerer's reply to it: the button of a question, the file chosen (nullopt: cancelled),
// whether a dialog was accepted, whether a task's progress is cancelled at this step.
struct Reply {
    Answer Button = Answer::Cancel;
    std::optional<std::string> Path;
    bool Accepted = false;
    bool CancelTask = false;
};
// While set, every prompt is given to answerer instead of being shown. nullptr removes it.
void SetAnswererForTests(std::function<Reply(const Prompt&)> answerer);
