#include <gtest/gtest.h>

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

TEST(Label, MovingALabelMarksTheOldAndTheNewFrame) {
    OneLabel f;
    f.label->SetFrame({10, 120, 55, 10});
    EXPECT_EQ(f.view.DirtyRects(), (std::vector<Rect>{{10, 20, 55, 10}, {10, 120, 55, 10}}));
    EXPECT_TRUE(f.view.LabelsIn({0, 15, 300, 20}).empty());
    EXPECT_EQ(f.view.LabelsIn({0, 115, 300, 20}), std::vector<Label*>{f.label});
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
