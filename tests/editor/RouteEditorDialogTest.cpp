// The split editor dialog: OK writes the edited route once through the engine, Escape changes
// nothing, and the keys of the table edit the splits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "EditSplits.h"
#include "NewRouteFlow.h"
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
    // Runs EditEngineRoute; once the dialog is up, act is done on it.
    bool Edit(const std::function<void(RouteEditorDialog&)>& act) {
        QTimer::singleShot(0, [&act] {
            auto* dialog = qobject_cast<RouteEditorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        return EditEngineRoute(engine_, nullptr);
    }
    TempDir dir_;
    const std::string path_ = dir_.File("route.txt");
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(EditorDialog, EscapeChangesNothingAndReturnWritesTheEditedRouteAndFieldsOnce) {
    EXPECT_FALSE(Edit([](RouteEditorDialog& d) {
        d.model()->setData(d.model()->index(0, 0), "Start");
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    EXPECT_EQ(ReadFile(path_), kRoute);
    EXPECT_EQ(engine_.GetFullRowHeader(0), "A");

    EXPECT_TRUE(Edit([](RouteEditorDialog& d) {
        auto* description = d.findChild<QLineEdit*>("description");
        auto* offset = d.findChild<QLineEdit*>("startOffset");
        ASSERT_TRUE(description != nullptr && offset != nullptr);
        description->setText("Glitchless");  // the fields above the table are taken too
        offset->setText("-1.5");
        d.model()->setData(d.model()->index(0, 0), "Start");
        d.model()->insertSplit(2);
        QTest::keyClick(d.table(), Qt::Key_Return);
    }));
    EXPECT_EQ(ReadFile(path_),
              "3\t-1.50\nGlitchless\tBest Splits\tPB\n"
              "Start\t10.00\t10.00\n\t\t\nB\t20.00\t30.00\n\t\t\nSplit 3\t0.00\t0.00\n\t\t\n");
    EXPECT_EQ(engine_.GetRowCount(), 3u);
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

TEST_F(EditorDialog, ANewRouteThatCannotBeWrittenSaysSo) {
    EXPECT_FALSE(WriteNewRoute(dir_.File("missing/new.txt"), NewRouteData()));
}
