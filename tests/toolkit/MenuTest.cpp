// Menu keys and check marks; Space, Backspace and Ctrl+letter keys are tested end to end.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

TEST(MenuKeys, AKeyEquivalentRunsItsCommandOnlyWhileEnabledAndShown) {
    EnsureTestApp();
    tk::Window window{tk::Rect{0, 0, 300, 200}};
    int runs = 0;
    tk::MenuItem* skip = window.MenuBar()->AddSubmenu("Control")->Submenu()->AddItem(
        "Skip Split", [&runs] { ++runs; }, "PgDown");
    window.Show();
    QWidget* widget = tk::qt::WidgetOf(window);
    QApplication::setActiveWindow(widget);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_PageDown);
    EXPECT_EQ(runs, 1);
    skip->SetEnabled(false);
    QTest::keyClick(widget, Qt::Key_PageDown);
    skip->Trigger();
    skip->SetEnabled(true);
    skip->SetHidden(true);
    QTest::keyClick(widget, Qt::Key_PageDown);
    skip->Trigger();
    EXPECT_EQ(runs, 1);
    window.Close();
}

// A check item shows its box before it was ever on; its mark follows its state, not the click.
TEST(MenuKeys, TheCheckMarkFollowsTheItemsStateNotTheClick) {
    EnsureTestApp();
    tk::Window window{tk::Rect{0, 0, 300, 200}};
    tk::Menu* options = window.MenuBar()->AddSubmenu("Options")->Submenu();
    tk::MenuItem* hide =
        options->AddItem("Hide Best Splits", [&hide] { hide->SetState(hide->State() ? 0 : 1); });
    options->AddItem("Fixed", [] {})->SetState(1);  // its action leaves the state alone
    options->AddItem("Never On", [] {})->SetState(0);
    options->AddItem("Marked", [] {})->SetCheckable(true);
    options->AddItem("Plain", [] {});
    window.Show();
    const auto action = [&](const char* title) {
        return tk::qt::ActionOf(*options->FindItem(title));
    };
    for (const bool checked : {true, false}) {
        action("Hide Best Splits")->trigger();
        EXPECT_EQ(hide->State(), checked ? 1 : 0);
        EXPECT_EQ(action("Hide Best Splits")->isChecked(), checked);
    }
    action("Fixed")->trigger();
    EXPECT_TRUE(action("Fixed")->isChecked());
    EXPECT_TRUE(action("Never On")->isCheckable());
    EXPECT_FALSE(action("Never On")->isChecked());
    EXPECT_TRUE(action("Marked")->isCheckable());
    EXPECT_FALSE(action("Plain")->isCheckable());
    window.Close();
}
