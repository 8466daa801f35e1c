#include "AppearanceDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

QColor ToQColor(Rgb c) {
    return {c.red, c.green, c.blue};
}

QIcon Swatch(Rgb colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(ToQColor(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

AppearanceDialogHook& Hook() {
    static AppearanceDialogHook hook;
    return hook;
}

}  // namespace

AppearanceDialog::AppearanceDialog(const Appearance& current, QWidget* parent,
                                   std::function<void(const Appearance&)> preview)
    : QDialog(parent), value_(current), preview_(std::move(preview)) {
    setWindowTitle(QStringLiteral("Appearance"));
    auto* layout = new QVBoxLayout(this);

    auto* presets = new QHBoxLayout;
    presets->addWidget(new QLabel(QStringLiteral("Preset"), this));
    for (std::size_t i = 0; i < kAppearancePresets.size(); ++i) {
        const AppearancePreset preset = kAppearancePresets[i];
        auto* button = new QPushButton(QString::fromUtf8(PresetTitle(preset)), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, preset] { ApplyPreset(preset); });
        presets->addWidget(button);
        presetButtons_[i] = button;
    }
    presets->addStretch();
    layout->addLayout(presets);

    auto* colours = new QGridLayout;
    for (std::size_t i = 0; i < kColourRoleCount; ++i) {
        const auto role = static_cast<ColourRole>(i);
        auto* button = new QPushButton(this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, role] {
            const QColor chosen = QColorDialog::getColor(ToQColor(value_.Colour(role)), this,
                                                         QString::fromUtf8(RoleTitle(role)),
                                                         QColorDialog::DontUseNativeDialog);
            if (chosen.isValid()) {
                SetColour(role, {static_cast<std::uint8_t>(chosen.red()),
                                 static_cast<std::uint8_t>(chosen.green()),
                                 static_cast<std::uint8_t>(chosen.blue())});
            }
        });
        colourButtons_[i] = button;
        const int row = static_cast<int>(i % 5);
        const int column = static_cast<int>(i / 5) * 2;
        colours->addWidget(new QLabel(QString::fromUtf8(RoleTitle(role)), this), row, column);
        colours->addWidget(button, row, column + 1);
    }
    layout->addLayout(colours);

    auto* fonts = new QGridLayout;
    const auto fontRow = [&](int row, const char* title, FontChoice Appearance::*font,
                             QFontComboBox** family, QDoubleSpinBox** size) {
        *family = new QFontComboBox(this);
        *size = new QDoubleSpinBox(this);
        (*size)->setRange(4, 200);
        (*size)->setDecimals(1);
        fonts->addWidget(new QLabel(QString::fromUtf8(title), this), row, 0);
        fonts->addWidget(*family, row, 1);
        fonts->addWidget(*size, row, 2);
        connect(*family, &QFontComboBox::currentFontChanged, this, [this, font](const QFont& f) {
            if (!showing_) {
                (value_.*font).family = f.family().toStdString();
                Changed();
            }
        });
        connect(*size, &QDoubleSpinBox::valueChanged, this, [this, font](double points) {
            if (!showing_) {
                (value_.*font).points = points;
                Changed();
            }
        });
    };
    fontRow(0, "Clock font", &Appearance::clockFont, &clockFamily_, &clockSize_);
    fontRow(1, "List font", &Appearance::listFont, &listFamily_, &listSize_);
    layout->addLayout(fonts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ShowValue();
}

QPushButton* AppearanceDialog::PresetButton(AppearancePreset preset) const {
    for (std::size_t i = 0; i < kAppearancePresets.size(); ++i) {
        if (kAppearancePresets[i] == preset) {
            return presetButtons_[i];
        }
    }
    return nullptr;
}

void AppearanceDialog::ApplyPreset(AppearancePreset preset) {
    value_.colours = Appearance::Preset(preset).colours;
    ShowValue();
    Changed();
}

void AppearanceDialog::SetColour(ColourRole role, Rgb colour) {
    value_.SetColour(role, colour);
    ShowValue();
    Changed();
}

// The fields show the value; an empty family (the desktop's font) shows as that font and
// stays empty until another is picked.
void AppearanceDialog::ShowValue() {
    showing_ = true;
    for (std::size_t i = 0; i < kColourRoleCount; ++i) {
        colourButtons_[i]->setIcon(Swatch(value_.colours[i]));
        colourButtons_[i]->setText(QString::fromStdString(RgbToHex(value_.colours[i])));
    }
    const auto show = [](const FontChoice& font, QFontComboBox* family, QDoubleSpinBox* size) {
        family->setCurrentFont(font.family.empty() ? QFont()
                                                   : QFont(QString::fromStdString(font.family)));
        size->setValue(font.points);
    };
    show(value_.clockFont, clockFamily_, clockSize_);
    show(value_.listFont, listFamily_, listSize_);
    showing_ = false;
}

void AppearanceDialog::Changed() {
    if (preview_) {
        preview_(value_);
    }
}

void SetAppearanceDialogTestHook(AppearanceDialogHook hook) {
    Hook() = std::move(hook);
}

std::optional<Appearance> ChooseAppearance(const Appearance& current, QWidget* parent,
                                           std::function<void(const Appearance&)> preview) {
    AppearanceDialog dialog(current, parent != nullptr ? parent : QApplication::activeWindow(),
                            std::move(preview));
    if (Hook()) {
        return Hook()(dialog);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Value();
}
