#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Toolkit.h"

namespace {

// Clears the hooks whatever a test does.
class Dialogs : public ::testing::Test {
  protected:
    void TearDown() override {
        tk::OpenPanel::SetTestHook(nullptr);
        tk::Alert::SetTestHook(nullptr);
    }
};

}  // namespace

TEST_F(Dialogs, TheOpenPanelHookChoosesAFileInsteadOfTheDialog) {
    std::string askedFolder;
    tk::OpenPanel::SetTestHook([&askedFolder](const tk::OpenPanel& panel) {
        askedFolder = panel.Directory();
        return std::optional<std::string>("/runs/Any% — route.txt");
    });
    tk::OpenPanel panel;
    panel.SetDirectory("/Applications/Quorvel/");
    EXPECT_EQ(panel.RunModal(), 1);
    EXPECT_EQ(panel.Filename(), "/runs/Any% — route.txt");
    EXPECT_EQ(askedFolder, "/Applications/Quorvel/");
}

TEST_F(Dialogs, ACancelledOpenPanelAnswersZeroAndNoFile) {
    tk::OpenPanel::SetTestHook([](const tk::OpenPanel&) { return std::nullopt; });
    tk::OpenPanel panel;
    EXPECT_EQ(panel.RunModal(), 0);
    EXPECT_EQ(panel.Filename(), "");
}

TEST_F(Dialogs, TheAlertHookPicksAButtonByIndex) {
    tk::Alert::SetTestHook([](const tk::Alert& alert) {
        EXPECT_EQ(alert.MessageText(), "Save the run?");
        EXPECT_EQ(alert.InformativeText(), "It beats the kept run.");
        return static_cast<int>(alert.Buttons().size()) - 1;
    });
    tk::Alert alert;
    alert.SetMessageText("Save the run?");
    alert.SetInformativeText("It beats the kept run.");
    alert.AddButton("Save");
    alert.AddButton("Don't Save");
    EXPECT_EQ(alert.RunModal(), 1);
}
