#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "Toolkit.h"

using tk::Label;
using tk::Rect;
using tk::View;

TEST(View, LabelsInFindsExactlyTheLabelsMeetingTheRectangle) {
    View view(Rect{0, 0, 500, 3000});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> position(-100, 3000);
    std::uniform_real_distribution<double> size(1, 120);  // some span several bands
    for (int i = 0; i < 2000; ++i) {
        view.AddLabel(std::make_unique<Label>(
            Rect{position(random) / 6, position(random), size(random), size(random)}));
    }
    for (int q = 0; q < 200; ++q) {
        const Rect query{position(random) / 6, position(random), size(random), size(random) * 3};
        std::vector<Label*> expected;
        for (std::size_t i = 0; i < view.LabelCount(); ++i) {
            if (view.LabelAt(i)->Frame().Intersects(query)) {
                expected.push_back(view.LabelAt(i));
            }
        }
        std::vector<Label*> found = view.LabelsIn(query);
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(View, RemovingASubviewDestroysItAndItsLabels) {
    View parent(Rect{0, 0, 100, 100});
    auto* child = parent.AddSubview(std::make_unique<View>(Rect{0, 0, 50, 50}));
    child->AddLabel(std::make_unique<Label>(Rect{0, 0, 10, 10}));
    auto* other = parent.AddSubview(std::make_unique<View>(Rect{50, 0, 50, 50}));
    EXPECT_EQ(child->Superview(), &parent);
    child->RemoveFromSuperview();
    ASSERT_EQ(parent.SubviewCount(), 1u);
    EXPECT_EQ(parent.SubviewAt(0), other);
}

TEST(View, AHeightChangeRepaintsTheWholeView) {
    // Frames count from the bottom, so every label moves on screen.
    View view(Rect{0, 0, 100, 100});
    view.TakeDirtyRects();
    view.SetFrame({0, 0, 100, 150});
    EXPECT_EQ(view.DirtyRects(), (std::vector<Rect>{{0, 0, 100, 150}}));
}
