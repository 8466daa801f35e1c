#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "Toolkit.h"

using tk::Color;
using tk::Label;
using tk::Rect;
using tk::View;

namespace {

// A view with one label whose pending repaints have been taken.
struct OneLabel {
    View view{Rect{0, 0, 300, 200}};
    Label* label = nullptr;
    OneLabel() {
        auto owned = std::make_unique<Label>(Rect{10, 20, 55, 10});
        owned->SetText("1:05.23");
        owned->SetTextColor(Color::White());
        owned->SetDrawsBackground(true);
        owned->SetBackgroundColor(Color::Clear());
        label = view.AddLabel(std::move(owned));
        view.TakeDirtyRects();
    }
};

}  // namespace

TEST(Label, AddingALabelMarksItsFrameDirty) {
    View view(Rect{0, 0, 300, 200});
    view.AddLabel(std::make_unique<Label>(Rect{10, 20, 55, 10}));
    EXPECT_EQ(view.DirtyRects(), (std::vector<Rect>{{10, 20, 55, 10}}));
}

TEST(Label, SettersGivenTheCurrentValueMarkNothingDirty) {
    OneLabel f;
    const std::vector<std::function<void(Label&)>> sameValue = {
        [](Label& l) { l.SetText("1:05.23"); },
        [](Label& l) { l.SetTextColor(Color::White()); },
        [](Label& l) { l.SetBackgroundColor(Color::Clear()); },
        [](Label& l) { l.SetDrawsBackground(true); },
        [](Label& l) { l.SetBezeled(false); },
        [](Label& l) { l.SetFontSize(13); },
        [](Label& l) { l.SetAlignment(tk::TextAlignment::kLeft); },
        [](Label& l) {
            l.SetFrame({10, 20, 55, 10});
        },
        [](Label& l) { l.SetHidden(false); },
    };
    for (const auto& set : sameValue) {
        set(*f.label);
        EXPECT_FALSE(f.view.NeedsDisplay());
    }
}

TEST(Label, AChangeMarksOnlyThatLabelsFrameDirty) {
    OneLabel f;
    f.view.AddLabel(std::make_unique<Label>(Rect{10, 100, 55, 10}));
    f.view.TakeDirtyRects();
    const std::vector<std::function<void(Label&)>> changes = {
        [](Label& l) { l.SetText("1:05.24"); },
        [](Label& l) { l.SetTextColor(Color::Red()); },
        [](Label& l) { l.SetBackgroundColor(Color::CalibratedRgb(0.15, 0.15, 0.15)); },
        [](Label& l) { l.SetAlignment(tk::TextAlignment::kRight); },
        [](Label& l) { l.SetHidden(true); },
    };
    for (const auto& change : changes) {
        change(*f.label);
        EXPECT_EQ(f.view.TakeDirtyRects(), (std::vector<Rect>{{10, 20, 55, 10}}));
    }
}

TEST(Label, AnInvisibleBackgroundChangeRepaintsNothing) {
    OneLabel f;
    f.label->SetDrawsBackground(false);
    f.label->SetBackgroundColor(Color::Red());  // not drawn
    EXPECT_FALSE(f.view.NeedsDisplay());
}

TEST(Label, MovingALabelMarksTheOldAndTheNewFrame) {
    OneLabel f;
    f.label->SetFrame({10, 120, 55, 10});
    EXPECT_EQ(f.view.DirtyRects(), (std::vector<Rect>{{10, 20, 55, 10}, {10, 120, 55, 10}}));
    EXPECT_TRUE(f.view.LabelsIn({0, 15, 300, 20}).empty());
    EXPECT_EQ(f.view.LabelsIn({0, 115, 300, 20}), std::vector<Label*>{f.label});
}

TEST(Label, DirtyRectanglesOutsideTheViewAreDropped) {
    View view(Rect{0, 0, 100, 100});
    view.AddLabel(std::make_unique<Label>(Rect{0, 200, 55, 10}));
    EXPECT_FALSE(view.NeedsDisplay());
}

TEST(Label, ManyChangesKeepTheDirtyListShortAndCoverEveryChange) {
    View view(Rect{0, 0, 100, 10000});
    std::vector<Label*> labels;
    for (int i = 0; i < 500; ++i) {
        labels.push_back(view.AddLabel(std::make_unique<Label>(Rect{0, i * 20.0, 50, 10})));
    }
    view.TakeDirtyRects();
    for (Label* label : labels) {
        label->SetText("x");
    }
    ASSERT_LE(view.DirtyRects().size(), View::kMaxDirtyRects);
    for (Label* label : labels) {
        bool covered = false;
        for (const Rect& r : view.DirtyRects()) {
            covered = covered || r.Union(label->Frame()) == r;
        }
        EXPECT_TRUE(covered);
    }
}

TEST(Label, RemovingLabelsKeepsTheOthersFindable) {
    View view(Rect{0, 0, 300, 1000});
    std::vector<Label*> labels;
    for (int i = 0; i < 100; ++i) {
        labels.push_back(view.AddLabel(std::make_unique<Label>(Rect{2, i * 10.0, 55, 10})));
        labels.back()->SetText(std::to_string(i));
    }
    for (int i = 0; i < 100; i += 3) {
        labels[i]->RemoveFromParent();
    }
    EXPECT_EQ(view.LabelCount(), 66u);
    for (int i = 0; i < 100; ++i) {
        const auto found = view.LabelsIn({0, i * 10.0 + 1, 300, 1});
        if (i % 3 == 0) {
            EXPECT_TRUE(found.empty()) << i;
        } else {
            ASSERT_EQ(found.size(), 1u) << i;
            EXPECT_EQ(found[0]->Text(), std::to_string(i));
        }
    }
}

TEST(Label, ALabelOfAnotherViewIsNotRemoved) {
    View a(Rect{0, 0, 100, 100});
    View b(Rect{0, 0, 100, 100});
    Label* label = a.AddLabel(std::make_unique<Label>(Rect{0, 0, 10, 10}));
    b.RemoveLabel(label);
    b.RemoveLabel(nullptr);
    EXPECT_EQ(a.LabelCount(), 1u);
    EXPECT_EQ(label->Parent(), &a);
}

TEST(Label, RemovingOneByOneTakesConstantTimePerLabel) {
    // A grid's worth of labels removed in creation order, as a rebuild of the display does;
    // a removal that shifts the remaining labels would take seconds here.
    constexpr int kCount = 100000;
    View view(Rect{0, 0, 1000, 22 * 5000.0});
    std::vector<Label*> labels;
    labels.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        labels.push_back(view.AddLabel(
            std::make_unique<Label>(Rect{2 + (i % 20) * 55.0, (i / 20) * 22.0, 55, 10})));
    }
    const auto start = std::chrono::steady_clock::now();
    for (Label* label : labels) {
        label->RemoveFromParent();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(view.LabelCount(), 0u);
    EXPECT_TRUE(view.LabelsIn(view.Bounds()).empty());
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}
