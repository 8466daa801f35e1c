// Menu items and their key equivalents on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

using tk::Menu;
using tk::MenuItem;

namespace {

// A shown, focused window with a menu of commands that record their keys when run.
class MenuKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        Menu* control = window.MenuBar()->AddSubmenu("Control")->Submenu();
        for (const char* key : {"Ctrl+O", "Space", "PgDown", "Backspace"}) {
            control->AddItem(
                std::string("Command ") + key, [this, key] { runs.push_back(key); }, key);
        }
        window.Show();
        widget = tk::qt::WidgetOf(window);
        QApplication::setActiveWindow(widget);
        widget->setFocus();
    }
    void TearDown() override { window.Close(); }

    tk::Window window{tk::Rect{0, 0, 300, 200}};
    QWidget* widget = nullptr;
    std::vector<std::string> runs;
};

}  // namespace

TEST_F(MenuKeys, KeyEquivalentsRunTheirCommandsOnlyWhileEnabledAndShown) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* expected;
    } cases[] = {
        {Qt::Key_O, Qt::ControlModifier, "Ctrl+O"},
        {Qt::Key_Space, Qt::NoModifier, "Space"},
        {Qt::Key_PageDown, Qt::NoModifier, "PgDown"},
        {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    };
    for (const auto& c : cases) {
        runs.clear();
        QTest::keyClick(widget, c.key, c.modifiers);
        EXPECT_EQ(runs, std::vector<std::string>{c.expected}) << c.expected;
    }
    runs.clear();
    MenuItem* space = window.MenuBar()->FindItemByKey("Space");
    space->SetEnabled(false);
    QTest::keyClick(widget, Qt::Key_Space);
    space->Trigger();
    space->SetEnabled(true);
    space->SetHidden(true);
    QTest::keyClick(widget, Qt::Key_Space);
    space->Trigger();
    EXPECT_TRUE(runs.empty());
}

TEST_F(MenuKeys, TheCheckMarkFollowsTheItemsStateNotTheClick) {
    Menu* options = window.MenuBar()->AddSubmenu("Options")->Submenu();
    MenuItem* hide = nullptr;
    hide = options->AddItem("Hide Best Splits", [&hide] { hide->SetState(hide->State() ? 0 : 1); });
    MenuItem* fixed = options->AddItem("Fixed", [] {});  // its action leaves the state alone
    fixed->SetState(1);
    QAction* action = tk::qt::ActionOf(*hide);
    ASSERT_NE(action, nullptr);
    for (const bool checked : {true, false}) {
        action->trigger();
        EXPECT_EQ(hide->State(), checked ? 1 : 0);
        EXPECT_EQ(action->isChecked(), checked);
    }
    tk::qt::ActionOf(*fixed)->trigger();
    EXPECT_TRUE(tk::qt::ActionOf(*fixed)->isChecked());
}

TEST_F(MenuKeys, ACheckItemShowsItsBoxBeforeItWasEverOn) {
    Menu* options = window.MenuBar()->AddSubmenu("Options")->Submenu();
    MenuItem* never = options->AddItem("Never On", [] {});
    never->SetState(0);
    MenuItem* marked = options->AddItem("Marked", [] {});
    marked->SetCheckable(true);
    MenuItem* plain = options->AddItem("Plain", [] {});
    EXPECT_TRUE(tk::qt::ActionOf(*never)->isCheckable());
    EXPECT_FALSE(tk::qt::ActionOf(*never)->isChecked());
    EXPECT_TRUE(tk::qt::ActionOf(*marked)->isCheckable());
    EXPECT_FALSE(tk::qt::ActionOf(*plain)->isCheckable());
}
