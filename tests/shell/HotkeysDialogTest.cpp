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
    const struct {
        std::size_t command;
        const char* key;
        const char* refusal;  // "" when taken
    } cases[] = {
        {1, "Num+1", "Num+1 is already the key of Start / Split."},
        {0, "Num+1", ""},  // its own key again
        {1, "1", ""},      // the main row's 1 is not the keypad's
        {4, "", ""},       // cleared: no key
    };
    for (const auto& c : cases) {
        HotkeysDialog dialog(kTitles, defaults, "Backend: XInput 2");
        const bool taken =
            dialog.Choose(static_cast<int>(c.command), QKeySequence::fromString(c.key));
        HotkeysDialogValues expected = defaults;
        if (taken) {
            expected.Names[c.command] = c.key;
        }
        EXPECT_EQ(
            std::tuple(
                taken, dialog.Refusal().toStdString(), dialog.Values().Names,
                dialog.Field(static_cast<int>(c.command))->keySequence().toString().toStdString()),
            std::tuple(*c.refusal == '\0', c.refusal, expected.Names, expected.Names[c.command]))
            << c.key;
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
