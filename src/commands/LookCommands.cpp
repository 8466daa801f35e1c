// View ▸ Always on Top and Options ▸ Background Colour…: the look of the window (ViewLook).
#include <optional>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "BackgroundDialog.h"
#include "ColorText.h"

using shell::CheckOf;

void AppDelegate::AlwaysOnTopMenuClick() {
    AlwaysOnTopMenuItem->SetState(CheckOf(look_.ToggleAlwaysOnTop()));
}

void AppDelegate::BackgroundColourMenuClick() {
    const auto chosen = ChooseBackgroundColour(tk::ColorToHex(look_.Background()),
                                               tk::ColorToHex(ViewLook::kChromaGreen),
                                               tk::ColorToHex(ViewLook::kDefaultBackground));
    if (const auto colour = chosen ? tk::ColorFromHex(*chosen) : std::nullopt) {
        look_.SetBackground(*colour);
    }
}
