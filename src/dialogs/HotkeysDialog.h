// Options > Hotkeys...: the global hotkey of each run command, set by pressing it, the Global
// Hotkeys switch, and a line saying how the hotkeys reach the keyboard (or why they do not).
//
//   Start / Split  [ Num+1      x ]  Desktop: 1, not Num+1     (what a desktop portal bound)
//   Skip Split     [ Num+2      x ]  Desktop: Num+2
//   ...
//   [x] Global Hotkeys
//   Backend: desktop portal
//   The desktop did not bind Skip Split; set it in the system's shortcut settings.
//   "Num+1 is already the key of Start / Split."      (after a refused key)
//                                             [ Cancel ] [ OK ]
//
// A key pressed in a field is taken at once, with the keypad kept apart from the main keys
// ("Num+1" is not "1"); one already set for another command is refused, and the field keeps
// its key. The dialog changes nothing itself: the caller reads Values() after OK.
#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <array>
#include <string>

#include "HotkeysDialogValues.h"

class QCheckBox;
class QKeySequenceEdit;
class QLabel;

class HotkeysDialog : public QDialog {
  public:
    // titles names the commands in the order of values.Names ("Start / Split", "Skip Split",
    // ...). A name that is not a key shows as an empty field. desktopKeys holds the note beside
    // each field (DesktopKeyNote; "" for none), labels named "desktop0", "desktop1", ...
    HotkeysDialog(const std::array<std::string, kHotkeysDialogCommands>& titles,
                  const HotkeysDialogValues& values, const std::string& backendLine,
                  const std::array<std::string, kHotkeysDialogCommands>& desktopKeys = {},
                  QWidget* parent = nullptr);

    HotkeysDialogValues Values() const;

    // Takes key for the command, as a key pressed in its field does; false,
    // with the refusal shown, when another command has that key. An empty key clears the field.
    bool Choose(int command, const QKeySequence& key);
    // The last refusal ("" when the last key was taken), for the dialog's line and for tests.
    QString Refusal() const;
    QKeySequenceEdit* Field(int command) const {
        return fields_[static_cast<std::size_t>(command)];
    }

  private:
    void Show(int command);

    std::array<std::string, kHotkeysDialogCommands> titles_;
    std::array<QKeySequence, kHotkeysDialogCommands> keys_;
    std::array<QKeySequenceEdit*, kHotkeysDialogCommands> fields_{};
    QCheckBox* globalSwitch_ = nullptr;
    QLabel* refusal_ = nullptr;
    bool applying_ = false;
};
