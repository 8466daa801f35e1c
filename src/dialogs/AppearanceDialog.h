// Options > Appearance...: the colour of each role of the Splits view (the grid view takes
// its background and text), the fonts of the clock and of the list, and three presets.
//
//   Preset   [ Default ] [ Chroma key, green ] [ Chroma key, magenta ]
//   Ahead, gaining time    [■ #00c853]      Best segment        [■ #f2c12e]
//   Ahead, losing time     [■ #66d98c]      New personal best   [■ #29b6f6]
//   Behind, gaining time   [■ #ef8a80]      Text                [■ #ffffff]
//   Behind, losing time    [■ #e53935]      Background          [■ #1a1a1f]
//                                           Current split       [■ #2e3b63]
//   Clock font   [ DejaVu Sans      v] [ 30 ]
//   List font    [ DejaVu Sans      v] [ 10 ]
//                                                        [ Cancel ] [ OK ]
//
// A colour button opens the colour dialog; a preset sets every colour at once and leaves
// the fonts. The dialog changes nothing itself: the caller takes the appearance after OK
// and keeps it in the settings at once.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "Appearance.h"

class QFontComboBox;
class QPushButton;
class QDoubleSpinBox;

class AppearanceDialog : public QDialog {
  public:
    // preview, when given, is told every change as it is made, so the window can show it;
    // after Cancel the caller puts the old appearance back.
    explicit AppearanceDialog(const Appearance& current, QWidget* parent = nullptr,
                              std::function<void(const Appearance&)> preview = {});

    Appearance Value() const { return value_; }
    void ApplyPreset(AppearancePreset preset);
    // As a colour chosen in the colour dialog of that role's button.
    void SetColour(ColourRole role, Rgb colour);
    QPushButton* PresetButton(AppearancePreset preset) const;
    QPushButton* ColourButton(ColourRole role) const { return colourButtons_[RoleIndex(role)]; }

  private:
    void ShowValue();
    void Changed();

    Appearance value_;
    std::function<void(const Appearance&)> preview_;
    std::array<QPushButton*, kColourRoleCount> colourButtons_{};
    std::array<QPushButton*, 3> presetButtons_{};
    QFontComboBox* clockFamily_ = nullptr;
    QDoubleSpinBox* clockSize_ = nullptr;
    QFontComboBox* listFamily_ = nullptr;
    QDoubleSpinBox* listSize_ = nullptr;
    bool showing_ = false;
};

// Runs the dialog; the appearance chosen, or nullopt after Cancel.
std::optional<Appearance> ChooseAppearance(const Appearance& current, QWidget* parent = nullptr,
                                           std::function<void(const Appearance&)> preview = {});

// For tests: while set, ChooseAppearance builds the dialog and hands it to the hook instead
// of showing it; the hook's answer is the dialog's.
using AppearanceDialogHook = std::function<std::optional<Appearance>(AppearanceDialog&)>;
void SetAppearanceDialogTestHook(AppearanceDialogHook hook);
