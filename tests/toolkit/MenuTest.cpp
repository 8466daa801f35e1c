#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

using tk::Menu;
using tk::MenuItem;

TEST(Menu, TriggerRunsTheActionOnlyForAnEnabledShownItem) {
    Menu menu;
    int runs = 0;
    MenuItem* item = menu.AddItem(
        "Split", [&runs] { ++runs; }, "Space");
    item->Trigger();
    item->SetEnabled(false);
    item->Trigger();
    item->SetEnabled(true);
    item->SetHidden(true);
    item->Trigger();
    EXPECT_EQ(runs, 1);
}

namespace {

// A window with a menu of commands, each counting its runs, shown and focused.
class MenuKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        Menu* control = window.MenuBar()->AddSubmenu("Control")->Submenu();
        for (const char* key : {"Ctrl+O", "Space", "PgDown", "PgUp", "P", "Backspace", "Ctrl+Q"}) {
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

TEST_F(MenuKeys, KeyEquivalentsRunTheirCommandsWhileTheWindowHasTheFocus) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* expected;
    };
    const Case cases[] = {
        {Qt::Key_O, Qt::ControlModifier, "Ctrl+O"},
        {Qt::Key_Space, Qt::NoModifier, "Space"},
        {Qt::Key_PageDown, Qt::NoModifier, "PgDown"},
        {Qt::Key_PageUp, Qt::NoModifier, "PgUp"},
        {Qt::Key_P, Qt::NoModifier, "P"},
        {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
        {Qt::Key_Q, Qt::ControlModifier, "Ctrl+Q"},
    };
    for (const Case& c : cases) {
        runs.clear();
        QTest::keyClick(widget, c.key, c.modifiers);
        EXPECT_EQ(runs, std::vector<std::string>{c.expected}) << c.expected;
    }
}

TEST_F(MenuKeys, ADisabledOrHiddenItemIgnoresItsKey) {
    MenuItem* space = window.MenuBar()->FindItemByKey("Space");
    space->SetEnabled(false);
    QTest::keyClick(widget, Qt::Key_Space);
    space->SetEnabled(true);
    space->SetHidden(true);
    QTest::keyClick(widget, Qt::Key_Space);
    EXPECT_TRUE(runs.empty());
}

TEST_F(MenuKeys, TheCheckMarkFollowsTheItemsStateNotTheClick) {
    Menu* options = window.MenuBar()->AddSubmenu("Options")->Submenu();
    MenuItem* hide = nullptr;
    hide = options->AddItem("Hide Best Splits", [&hide] { hide->SetState(hide->State() ? 0 : 1); });
    QAction* action = tk::qt::ActionOf(*hide);
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isChecked());
    action->trigger();
    EXPECT_EQ(hide->State(), 1);
    EXPECT_TRUE(action->isChecked());
    action->trigger();
    EXPECT_EQ(hide->State(), 0);
    EXPECT_FALSE(action->isChecked());
    // An item whose action leaves the state alone keeps its mark.
    MenuItem* fixed = options->AddItem("Fixed", [] {});
    fixed->SetState(1);
    tk::qt::ActionOf(*fixed)->trigger();
    EXPECT_TRUE(tk::qt::ActionOf(*fixed)->isChecked());
}
