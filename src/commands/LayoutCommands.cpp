// View ▸ Layout (the grid or the Splits view), View ▸ Hide Menu Bar and Options ▸
// Appearance…: which view the window shows, and how both look.
#include <algorithm>
#include <cmath>
#include <string>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "AppearanceDialog.h"
#include "ColorText.h"
#include "Prompts.h"
#include "SplitsPanel.h"
#include "WidgetView.h"

using shell::CheckOf;
using shell::Trunc;

namespace {

tk::Color ColourOf(const Appearance& look, ColourRole role) {
    return tk::ColorFromHex(RgbToHex(look.Colour(role))).value_or(tk::Color::White());
}

}  // namespace

void AppDelegate::LayoutMenuClick(Layout layout) {
    layout_ = layout;
    IniFile->Set(kLayout, std::string(layout == Layout::kSplits ? "Splits" : "Grid"));
    ApplyLayout();
}

void AppDelegate::ApplyLayout() {
    const bool splits = layout_ == Layout::kSplits;
    HeaderPanel->SetHidden(splits);
    ClockPanel->SetHidden(splits);
    ScrollBox->SetHidden(splits);
    SplitsHost->SetHidden(!splits);
    GridLayoutMenuItem->SetState(CheckOf(!splits));
    SplitsLayoutMenuItem->SetState(CheckOf(splits));
    (splits ? SplitsLayoutMenuItem : GridLayoutMenuItem)->SetKeyEquivalent("");
    (splits ? GridLayoutMenuItem : SplitsLayoutMenuItem)->SetKeyEquivalent("Ctrl+L");
    if (splits && splitsHistoryStale_) {
        HandHistoryToSplitsView();
    }
    if (!splits && TimerData->GetColumnCount() == 0) {
        // No grid to fit: the window as it is laid out before a split file is opened.
        FitWindow(kInitialWidth, Trunc(kInitialHeight - shell::kTitleBar + window->StripHeight()));
    }
    RebuildDisplay();
    OnUpdateTimer();
}

void AppDelegate::FitSplitsWindow(bool keepWidth) {
    double width = window->Frame().width;
    if (!keepWidth) {
        const std::optional<double> preferred = splits_->PreferredWidth();
        if (!preferred) {
            return;
        }
        // With the menu bar, wide enough for it.
        width = std::max(std::ceil(*preferred), window->MenuBarHidden() ? 0 : kInitialWidth);
    }
    const std::optional<double> height = splits_->ContentHeight(width);
    if (!height || (keepWidth && *height == splitsHeight_)) {
        return;
    }
    splitsHeight_ = *height;
    FitWindow(width, Trunc(std::ceil(*height) + window->StripHeight()));
}

void AppDelegate::HideMenuBarMenuClick() {
    const bool hidden = Toggle(HideMenuBarMenuItem);
    IniFile->Set(kHideMenuBar, hidden);
    // The strip comes off (or back) at the top; the views keep their size.
    const double change = hidden ? -shell::kTitleBar : shell::kTitleBar;
    tk::Rect frame = window->Frame();
    frame.height += change;
    window->SetMenuBarHidden(hidden);
    window->SetFrame(frame, /*display=*/true);
    if (layout_ == Layout::kSplits) {
        FitSplitsWindow(/*keepWidth=*/false);
    }
}

void AppDelegate::AppearanceMenuClick() {
    const Appearance before = splits_->Look();
    AppearanceDialog dialog(before, nullptr, [this](const Appearance& look) {
        ApplyAppearance(look);  // shown as it is chosen
    });
    if (!RunDialog(dialog)) {
        ApplyAppearance(before);
        return;
    }
    ApplyAppearance(dialog.Value());
    splits_->SaveAppearance();
    look_.SetBackground(window->BackgroundColor());  // the window's Background, the same
}

void AppDelegate::ApplyAppearance(const Appearance& look) {
    const bool fontsChanged =
        look.clockFont != splits_->Look().clockFont || look.listFont != splits_->Look().listFont;
    splits_->SetAppearance(look);
    window->SetBackgroundColor(ColourOf(look, ColourRole::kBackground));
    const tk::Color text = ColourOf(look, ColourRole::kText);
    if (text != gridText_) {
        gridText_ = text;
        SessionAttemptLabel->SetTextColor(text);
        TotalAttemptLabel->SetTextColor(text);
        if (layout_ == Layout::kGrid) {
            RebuildDisplay();
            OnUpdateTimer();
        }
    }
    if (fontsChanged && layout_ == Layout::kSplits) {
        FitSplitsWindow(/*keepWidth=*/false);
    }
}
