#include "ViewLook.h"

#include <cmath>
#include <string>
#include <utility>

#include "ColorText.h"
#include "Zoom.h"

namespace {
constexpr char kSection[] = "Window";
}  // namespace

void ViewLook::Read(IniFileClass& settings, tk::Window& window, bool firstLaunch,
                    double gridFontPoints, const tk::Rect& firstWindow) {
    window_ = &window;
    const std::int32_t percent = settings.ReadInteger(kSection, "Zoom", 0);
    const double stored = percent / 100.0;
    if (stored >= tk::kMinZoom && stored <= tk::kMaxZoom) {
        zoom_ = tk::SnapZoom(stored);
    } else if (firstLaunch) {
        zoom_ = tk::FirstLaunchZoom(gridFontPoints, kLegibleTextPixels, firstWindow,
                                    tk::Screen::MainVisiblePixels());
    } else {
        zoom_ = 1;
    }
    tk::SetZoom(zoom_);
    alwaysOnTop_ = settings.ReadString(kSection, "AlwaysOnTop", "") == "Y";
    window.SetAlwaysOnTop(alwaysOnTop_);
    background_ = tk::ColorFromHex(settings.ReadString(kSection, "Background", ""))
                      .value_or(kDefaultBackground);
    window.SetBackgroundColor(background_);
}

void ViewLook::Write(IniFileClass& settings) const {
    settings.WriteInteger(kSection, "Zoom", static_cast<std::int32_t>(std::lround(zoom_ * 100)));
    settings.WriteString(kSection, "AlwaysOnTop", alwaysOnTop_ ? "Y" : "N");
    settings.WriteString(kSection, "Background", tk::ColorToHex(background_));
}

void ViewLook::SetZoom(double zoom) {
    zoom_ = tk::SnapZoom(zoom);
    tk::SetZoom(zoom_);
    if (relayout_) {
        relayout_();
    }
}

void ViewLook::ZoomIn() {
    SetZoom(tk::ZoomIn(zoom_));
}

void ViewLook::ZoomOut() {
    SetZoom(tk::ZoomOut(zoom_));
}

void ViewLook::ActualSize() {
    SetZoom(1);
}

bool ViewLook::ToggleAlwaysOnTop() {
    alwaysOnTop_ = !alwaysOnTop_;
    if (window_ != nullptr) {
        window_->SetAlwaysOnTop(alwaysOnTop_);
    }
    return alwaysOnTop_;
}

void ViewLook::SetBackground(const tk::Color& color) {
    background_ = tk::ColorFromHex(tk::ColorToHex(color)).value_or(kDefaultBackground);
    if (window_ != nullptr) {
        window_->SetBackgroundColor(background_);
    }
}
