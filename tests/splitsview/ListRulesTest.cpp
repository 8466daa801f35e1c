// Which rows the split list shows: the rows in view as a run moves down a long route, and
// groups of subsplits, closed until the run is inside them.
#include <gtest/gtest.h>

#include "SplitsLook.h"

namespace {

std::vector<std::size_t> Range(std::size_t first, std::size_t last) {
    std::vector<std::size_t> rows;
    for (std::size_t i = first; i <= last; ++i) {
        rows.push_back(i);
    }
    return rows;
}

std::vector<std::size_t> With(std::vector<std::size_t> rows, std::size_t last) {
    rows.push_back(last);
    return rows;
}

TEST(RowsInView, TheSplitBeingTimedAndTheNextStayInViewAndTheLastSplitIsAlwaysShown) {
    const struct {
        std::size_t rows, current;
        int visible;
        std::vector<std::size_t> shown;
    } cases[] = {
        {40, 0, 12, With(Range(0, 10), 39)},
        {40, 9, 12, With(Range(0, 10), 39)},
        {40, 10, 12, With(Range(1, 11), 39)},
        {40, 20, 12, With(Range(11, 21), 39)},
        {40, 37, 12, With(Range(28, 38), 39)},
        {40, 38, 12, With(Range(28, 38), 39)},
        {40, 39, 12, With(Range(28, 38), 39)},
        {40, 40, 12, With(Range(28, 38), 39)},  // finished
        {1000, 500, 12, With(Range(491, 501), 999)},
        {12, 5, 12, Range(0, 11)},  // it fits
        {40, 20, 1, {20, 21, 39}},  // never fewer than the current, the next and the last
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, current " << c.current);
        EXPECT_EQ(RowsInView(c.rows, c.current, c.visible), c.shown);
    }
}

TEST(Subsplits, SubsplitsBelongToTheGroupTheNextSplitCloses) {
    const std::vector<std::string> names = {"-Gate", "-Hall", "{Castle} Boss", "Bridge",
                                            "-Ice",  "Caves", "{Tower} Top",   "-Loose"};
    EXPECT_EQ(GroupSplits(names), (std::vector<SplitGroup>{{0, 2, "Castle", true},
                                                           {3, 3, "Bridge", false},
                                                           {4, 5, "Caves", false},
                                                           {6, 6, "Tower", true},
                                                           {7, 7, "Loose", false}}));
    EXPECT_EQ(ShownName("{Castle} Boss"), "Boss");
    EXPECT_EQ(ShownName("-Gate"), "Gate");
}

// The names of the rows in view as the run moves through the route, "*" on the one being
// timed, "> " before the splits of an open group.
std::vector<std::string> Shown(const RunSnapshot& run) {
    const auto groups = GroupSplits(run.names);
    const ComparisonTimes comparison = ResolveComparison(run, {}, {});
    const SplitsOptions options;
    const SplitsLook look = ComputeSplitsLook({run, comparison, groups, options});
    std::vector<std::string> names;
    for (const RowLook& row : look.rows) {
        names.push_back((row.current ? "*" : "") + std::string(row.indented ? "> " : "") +
                        row.name);
    }
    return names;
}

TEST(Subsplits, AGroupShowsAsOneRowAndOpensWhileTheRunIsInsideIt) {
    RunSnapshot run;
    run.hasRoute = true;
    run.names = {"Start", "-Gate", "-Hall", "{Castle} Boss", "End"};
    run.pictures.assign(5, "");
    run.bestSegments.assign(5, 100);
    run.current.assign(5, 0);
    run.running = true;
    run.clock = 50;
    EXPECT_EQ(Shown(run), (std::vector<std::string>{"*Start", "Castle", "End"}));
    run.next = 1;
    run.current[0] = 100;
    EXPECT_EQ(Shown(run),
              (std::vector<std::string>{"Start", "Castle", "*> Gate", "> Hall", "> Boss", "End"}));
    run.next = 3;
    EXPECT_EQ(Shown(run),
              (std::vector<std::string>{"Start", "Castle", "> Gate", "> Hall", "*> Boss", "End"}));
    run.next = 4;
    EXPECT_EQ(Shown(run), (std::vector<std::string>{"Start", "Castle", "*End"}));
    run.next = 5;
    run.running = false;
    run.finished = true;
    EXPECT_EQ(Shown(run), (std::vector<std::string>{"Start", "Castle", "End"}));
}

}  // namespace
