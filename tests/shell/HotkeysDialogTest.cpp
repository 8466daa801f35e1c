// The hotkeys dialog: keys set by pressing them, and a key another command has refused.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>

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

// Beside each field, the key a desktop portal really bound, and whether it is the one chosen.
TEST_F(HotkeysDialogTest, TheKeysTheDesktopBoundAreShownBesideTheChosenOnes) {
    std::array<std::string, kHotkeysDialogCommands> desktop;
    desktop[0] = DesktopKeyNote("Num+1", /*asChosen=*/false, "1");
    desktop[1] = DesktopKeyNote("Num+2", /*asChosen=*/true, "Num+2");
    desktop[2] = DesktopKeyNote("Num+8", /*asChosen=*/false, "");
    HotkeysDialog dialog(kTitles, defaults, "Backend: desktop portal", desktop);
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        const auto* label = dialog.findChild<QLabel*>(QStringLiteral("desktop%1").arg(i));
        shown.push_back(label != nullptr ? label->text().toStdString() : "<none>");
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Desktop: 1, not Num+1", "Desktop: Num+2",
                                               "Desktop: no key", "<none>"}));
}
