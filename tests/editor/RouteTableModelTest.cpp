// The split editor's table: a well-behaved item model, edits of every kind, each undone and
// redone exactly.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <functional>

#include "QtEvents.h"
#include "RouteTableModel.h"

namespace {

// Three splits, two stored runs ("Old", then the raced "PB"), one note.
RouteData Sample() {
    RouteData route{12, -33, "Any%", {"Old", "PB"}, {}};
    route.Splits = {{"Level 1", {}, 4010, {4200, 4100}, {}},
                    {"Level 2", {}, 5500, {10000, 9620}, {}},
                    {"Level 3", {}, 3000, {13500, 12800}, {}}};
    NormaliseRoute(&route);
    route.Splits[0].Notes[0] = "watch the gap\njump late";
    return route;
}

class RouteTable : public ::testing::Test {
  protected:
    void SetUp() override { EnsureTestApp(); }
    RouteTableModel model_{Sample()};
    QAbstractItemModelTester tester_{&model_,
                                     QAbstractItemModelTester::FailureReportingMode::Fatal};

    bool Type(int row, int column, const char* text) {
        return model_.setData(model_.index(row, column), QString::fromUtf8(text));
    }
    QString Shown(int row, int column) { return model_.index(row, column).data().toString(); }
};

}  // namespace

TEST_F(RouteTable, EveryEditIsOneStepThatUndoesAndRedoesExactly) {
    const auto type = [](int row, int column, const char* text, bool segments = false) {
        return [=](RouteTableModel& m) {
            m.setShowSegments(segments);
            return m.setData(m.index(row, column), QString::fromUtf8(text));
        };
    };
    const std::pair<const char*, std::function<bool(RouteTableModel&)>> cases[] = {
        {"rename a split", type(1, 0, "Water Temple")},
        {"best running time", type(1, 1, "1:40.00")},
        {"best segment", type(1, 1, "50.00", /*segments=*/true)},
        {"stored run's running time", type(1, 2, "1:30.00")},
        {"stored run's segment", type(1, 3, "50.00", /*segments=*/true)},
        {"time emptied", type(2, 3, "")},
        {"note", type(1, 4, "grab the ledge")},
        {"insert split", [](RouteTableModel& m) { return m.insertSplit(1); }},
        {"remove split", [](RouteTableModel& m) { return m.removeSplit(0); }},
        {"move split", [](RouteTableModel& m) { return m.moveSplit(0, 2); }},
        {"add run", [](RouteTableModel& m) { return m.addRun(2, "New PB"); }},
        {"rename run", [](RouteTableModel& m) { return m.renameRun(0, "Older"); }},
        {"remove run", [](RouteTableModel& m) { return m.removeRun(1); }},
        {"move run", [](RouteTableModel& m) { return m.moveRun(1, 0); }},
        {"description", [](RouteTableModel& m) { return m.setDescription("Glitchless"), true; }},
        {"start offset", [](RouteTableModel& m) { return m.setStartOffset(-150), true; }},
        {"attempt count", [](RouteTableModel& m) { return m.setAttemptCount(13), true; }},
    };
    for (const auto& [what, edit] : cases) {
        SCOPED_TRACE(what);
        RouteTableModel model(Sample());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        const RouteData before = model.route();
        ASSERT_TRUE(edit(model));
        const RouteData after = model.route();
        EXPECT_NE(after, before);
        EXPECT_EQ(model.undoStack()->count(), 1);
        model.undoStack()->undo();
        EXPECT_EQ(model.route(), before);
        model.undoStack()->redo();
        EXPECT_EQ(model.route(), after);
        EXPECT_EQ(model.rowCount(), static_cast<int>(after.Splits.size()));
        EXPECT_EQ(model.columnCount(), static_cast<int>(after.RunTitles.size()) + 3);
    }
}

TEST_F(RouteTable, TimesShowAsRunningTimesOrSegments) {
    EXPECT_EQ(Shown(1, 1), "1:35.10");  // best running total
    EXPECT_EQ(Shown(1, 3), "1:36.20");
    ASSERT_TRUE(Type(1, 1, "1:40.00"));  // a best running time moves its row's segment only
    EXPECT_EQ(Shown(2, 1), "2:10.00");
    model_.setShowSegments(true);
    EXPECT_EQ(Shown(1, 1), "59.90");
    EXPECT_EQ(Shown(1, 3), "55.20");
}

TEST_F(RouteTable, TextThatIsNoTimeAndASegmentUnderAMissingTimeAreNotStored) {
    for (const char* text : {"4m00s", "3:75.00", "3:"}) {
        EXPECT_FALSE(Type(0, 2, text)) << text;
    }
    EXPECT_EQ(Shown(0, 2), "42.00");
    EXPECT_EQ(model_.undoStack()->count(), 0);
    ASSERT_TRUE(Type(1, 2, ""));
    model_.setShowSegments(true);
    EXPECT_FALSE(Type(2, 2, "30.00"));
}

TEST_F(RouteTable, NotesShowTheirLineBreaksAndTheRacedRunIsNamed) {
    EXPECT_EQ(Shown(0, 4), "watch the gap ⏎ jump late");
    EXPECT_EQ(model_.index(0, 4).data(Qt::EditRole).toString(), "watch the gap\njump late");
    EXPECT_EQ(model_.headerData(3, Qt::Horizontal).toString(), "PB (raced)");
    EXPECT_EQ(model_.headerData(2, Qt::Horizontal).toString(), "Old");
}
