#include "ViewLook.h"

#include <cmath>
#include <string>
#include <utility>

#include "ColorText.h"
#include "Zoom.h"

namespace {

std::int32_t Percent(double zoom) {
    return static_cast<std::int32_t>(std::lround(zoom * 100));
}

}  // namespace

void ViewLook::Read(Settings& settings, tk::Window& window, double gridFontPoints,
                    const tk::Rect& firstWindow) {
    window_ = &window;
    settings_ = &settings;
    const double stored = settings.Find(kZoom).value_or(0) / 100.0;
    if (stored >= tk::kMinZoom && stored <= tk::kMaxZoom) {
        zoom_ = tk::SnapZoom(stored);
    } else if (settings.FirstLaunch()) {
        zoom_ = tk::FirstLaunchZoom(gridFontPoints, kLegibleTextPixels, firstWindow,
                                    tk::Screen::MainVisiblePixels());
        settings.Set(kZoom, Percent(zoom_));
    } else {
        zoom_ = static_cast<double>(kZoom.Missing) / 100;
    }
    tk::SetZoom(zoom_);
    alwaysOnTop_ = settings.Get(kAlwaysOnTop);
    window.SetAlwaysOnTop(alwaysOnTop_);
    background_ = tk::ColorFromHex(settings.Get(kWindowBackground)).value_or(kDefaultBackground);
    window.SetBackgroundColor(background_);
}

void ViewLook::Put(Settings& settings) const {
    settings.Put(kZoom, Percent(zoom_));
    settings.Put(kAlwaysOnTop, alwaysOnTop_);
    settings.Put(kWindowBackground, tk::ColorToHex(background_));
}

void ViewLook::SetZoom(double zoom) {
    zoom_ = tk::SnapZoom(zoom);
    tk::SetZoom(zoom_);
    if (settings_ != nullptr) {
        settings_->Set(kZoom, Percent(zoom_));
    }
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
    if (settings_ != nullptr) {
        settings_->Set(kAlwaysOnTop, alwaysOnTop_);
    }
    return alwaysOnTop_;
}

void ViewLook::SetBackground(const tk::Color& color) {
    background_ = tk::ColorFromHex(tk::ColorToHex(color)).value_or(kDefaultBackground);
    if (window_ != nullptr) {
        window_->SetBackgroundColor(background_);
    }
    if (settings_ != nullptr) {
        settings_->Set(kWindowBackground, tk::ColorToHex(background_));
    }
}
