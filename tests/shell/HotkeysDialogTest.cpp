// The hotkeys dialog: keys set by pressing them, and a key another command has refused.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequenceEdit>

#include "HotkeysDialog.h"
#include "QtEvents.h"

namespace {

const std::array<std::string, kHotkeysDialogCommands> kTitles = {
    "Start / Split", "Skip Split", "Undo Split", "Pause / Resume", "Reset"};

class HotkeysDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureTestApp(); }
    HotkeysDialogValues defaults{{"Num+1", "Num+2", "Num+8", "Num+5", "Num+3"}, true};
};

TEST_F(HotkeysDialogTest, AKeyOfAnotherCommandIsRefusedAndTheFieldKeepsItsKey) {
    struct Case {
        int command;
        const char* key;
        bool taken;
        const char* refusal;
    };
    for (const Case& c : {
             Case{1, "Num+1", false, "Num+1 is already the key of Start / Split."},
             Case{0, "Num+3", false, "Num+3 is already the key of Reset."},
             Case{0, "Num+1", true, ""},  // its own key again
             Case{1, "1", true, ""},      // the main row's 1 is not the keypad's
             Case{1, "Ctrl+Num+1", true, ""},
             Case{4, "", true, ""},  // cleared: no key
             Case{2, "Num+0", true, ""},
         }) {
        HotkeysDialog dialog(kTitles, defaults, "Backend: XInput 2");
        const bool taken = dialog.Choose(c.command, QKeySequence::fromString(c.key));
        EXPECT_EQ(taken, c.taken) << c.command << " " << c.key;
        EXPECT_EQ(dialog.Refusal().toStdString(), c.refusal) << c.key;
        HotkeysDialogValues expected = defaults;
        if (c.taken) {
            expected.Names[static_cast<std::size_t>(c.command)] = c.key;
        }
        EXPECT_EQ(dialog.Values().Names, expected.Names) << c.key;
        EXPECT_EQ(dialog.Field(c.command)->keySequence().toString().toStdString(),
                  expected.Names[static_cast<std::size_t>(c.command)]);
    }
}

TEST_F(HotkeysDialogTest, AKeyPressedInAFieldIsTakenWithItsKeypadAndARefusedOneIsNot) {
    HotkeysDialog dialog(kTitles, defaults, "");
    const auto press = [&](int command, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, QString());
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, QString());
        QCoreApplication::sendEvent(dialog.Field(command), &down);
        QCoreApplication::sendEvent(dialog.Field(command), &up);
        ProcessPendingEvents();
    };
    press(3, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(dialog.Values().Names[3], "Num+7");
    press(2, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(dialog.Refusal().toStdString(), "Num+7 is already the key of Pause / Resume.");
    EXPECT_EQ(dialog.Values().Names[2], "Num+8");
}

}  // namespace
