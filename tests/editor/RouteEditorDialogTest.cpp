// The split editor dialog: Return takes the edited route, Escape leaves it, and the keys of
// the table edit the splits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "QtEvents.h"
#include "QuorvelEngine.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "TestFiles.h"

namespace {

const char* const kRoute =
    "3\t0.00\nAny%\tBest Splits\tPB\nA\t10.00\t10.00\n\t\t\nB\t20.00\t30.00\n\t\t\n";

class EditorDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        WriteFile(path_, kRoute);
        engine_.LoadSplitData(path_);
    }
    TempDir dir_;
    const std::string path_ = dir_.File("route.txt");
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(EditorDialog, EscapeRejectsAndReturnAcceptsTheEditedRouteWithTheFieldsAboveTheTable) {
    RouteEditorDialog escaped(engine_.GetRoute());
    escaped.model()->setData(escaped.model()->index(0, 0), "Start");
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.result(), QDialog::Rejected);

    RouteEditorDialog dialog(engine_.GetRoute());
    auto* description = dialog.findChild<QLineEdit*>("description");
    auto* offset = dialog.findChild<QLineEdit*>("startOffset");
    ASSERT_TRUE(description != nullptr && offset != nullptr);
    description->setText("Glitchless");  // the fields above the table are taken too
    offset->setText("-1.5");
    dialog.model()->setData(dialog.model()->index(0, 0), "Start");
    dialog.model()->insertSplit(2);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.table(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    engine_.SetRoute(dialog.route());
    EXPECT_EQ(ReadFile(path_),
              "3\t-1.50\nGlitchless\tBest Splits\tPB\n"
              "Start\t10.00\t10.00\n\t\t\nB\t20.00\t30.00\n\t\t\nSplit 3\t0.00\t0.00\n\t\t\n");
}

TEST_F(EditorDialog, TableKeysInsertRemoveAndMoveSplits) {
    RouteEditorDialog dialog(engine_.GetRoute());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTableView* table = dialog.table();
    table->setCurrentIndex(dialog.model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Insert);  // below the current split
    EXPECT_EQ(dialog.route().Splits[1].Name, "Split 2");
    QTest::keyClick(table, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(dialog.route().Splits[0].Name, "Split 2");
    QTest::keyClick(table, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialog.route().Splits.size(), 2u);
    EXPECT_EQ(dialog.route().Splits[0].Name, "A");
    QTest::keyClick(&dialog, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dialog.route().Splits.size(), 3u);
}
