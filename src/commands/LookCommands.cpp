// View ▸ Always on Top and Options ▸ Background Colour…: the look of the window (ViewLook).
#include <optional>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "BackgroundDialog.h"
#include "ColorText.h"
#include "Prompts.h"
#include "SplitsPanel.h"

using shell::CheckOf;

void AppDelegate::AlwaysOnTopMenuClick() {
    AlwaysOnTopMenuItem->SetState(CheckOf(look_.ToggleAlwaysOnTop()));
}

void AppDelegate::BackgroundColourMenuClick() {
    BackgroundDialog dialog(tk::ColorToHex(look_.Background()),
                            tk::ColorToHex(ViewLook::kChromaGreen),
                            tk::ColorToHex(ViewLook::kDefaultBackground));
    if (!RunDialog(dialog)) {
        return;
    }
    if (const auto colour = tk::ColorFromHex(dialog.Chosen())) {
        look_.SetBackground(*colour);
        // The Splits view's background is the same colour.
        Appearance look = splits_->Look();
        look.SetColour(ColourRole::kBackground,
                       RgbFromHex(tk::ColorToHex(look_.Background())).value_or(Rgb{}));
        ApplyAppearance(look);
        splits_->SaveAppearance();
    }
}
