#include "HotkeysDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "GlobalHotkeys.h"

namespace {

// A key field that takes one key at once, keypad kept apart: Qt's own field waits a second
// for up to four keys and drops the keypad, so that Num+1 would read as 1.
class KeyField : public QKeySequenceEdit {
  public:
    KeyField(QWidget* parent, std::function<void(const QKeySequence&)> pressed)
        : QKeySequenceEdit(parent), pressed_(std::move(pressed)) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        switch (key) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                focusNextPrevChild(key == Qt::Key_Tab);
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                if ((event->modifiers() & Qt::KeypadModifier) == 0) {
                    event->ignore();  // OK or Cancel of the dialog
                    return;
                }
                break;
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Alt:
            case Qt::Key_AltGr:
            case Qt::Key_Meta:
            case Qt::Key_Super_L:
            case Qt::Key_Super_R:
            case Qt::Key_CapsLock:
            case Qt::Key_NumLock:
            case Qt::Key_unknown:
                return;  // a modifier waits for its key
            default:
                break;
        }
        const Qt::KeyboardModifiers kept =
            event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                  Qt::MetaModifier | Qt::KeypadModifier);
        event->accept();
        pressed_(QKeySequence(QKeyCombination(kept, static_cast<Qt::Key>(key))));
    }
    void keyReleaseEvent(QKeyEvent* event) override { event->accept(); }

  private:
    std::function<void(const QKeySequence&)> pressed_;
};

std::string NameOf(const QKeySequence& key) {
    return key.isEmpty() ? std::string() : key.toString(QKeySequence::PortableText).toStdString();
}

QKeySequence KeyOf(const std::string& name) {
    hotkeys::HotkeySpec hotkey;
    if (!hotkeys::ParseHotkeyName(name, &hotkey)) {
        return {};
    }
    return QKeySequence::fromString(QString::fromStdString(name), QKeySequence::PortableText);
}

// The key as a hotkey, or nothing for a key that cannot be one (a modifier alone).
bool SpecOf(const QKeySequence& key, hotkeys::HotkeySpec* hotkey) {
    return !key.isEmpty() && hotkeys::ParseHotkeyName(NameOf(key), hotkey);
}

}  // namespace

std::string HotkeyBackendLine(const std::string& backend, bool on,
                              const std::vector<std::string>& reports) {
    std::string line = "Backend: ";
    if (backend == "xinput2") {
        line += "XInput 2";
    } else if (backend == "x11-grab") {
        line += "key grab";
    } else if (backend == "portal") {
        line += "desktop portal";
    } else {
        line += on ? "none" : "none (Global Hotkeys is off)";
    }
    for (const std::string& report : reports) {
        line += "\n" + report;
    }
    return line;
}

std::string DesktopKeyNote(const std::string& chosen, bool asChosen, const std::string& trigger) {
    if (trigger.empty()) {
        return "Desktop: no key";
    }
    return "Desktop: " + trigger + (asChosen || chosen.empty() ? "" : ", not " + chosen);
}

HotkeysDialog::HotkeysDialog(const std::array<std::string, kHotkeysDialogCommands>& titles,
                             const HotkeysDialogValues& values, const std::string& backendLine,
                             const std::array<std::string, kHotkeysDialogCommands>& desktopKeys,
                             QWidget* parent)
    : QDialog(parent), titles_(titles) {
    setWindowTitle(QStringLiteral("Hotkeys"));
    auto* form = new QFormLayout;
    for (int i = 0; i < kHotkeysDialogCommands; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto* field = new KeyField(this, [this, i](const QKeySequence& key) { Choose(i, key); });
        field->setObjectName(QStringLiteral("hotkey%1").arg(i));
        field->setClearButtonEnabled(true);
        fields_[index] = field;
        keys_[index] = KeyOf(values.Names[index]);
        Show(i);
        if (desktopKeys[index].empty()) {
            form->addRow(QString::fromStdString(titles[index]), field);
        } else {
            auto* row = new QHBoxLayout;
            row->addWidget(field);
            auto* desktop = new QLabel(QString::fromStdString(desktopKeys[index]), this);
            desktop->setObjectName(QStringLiteral("desktop%1").arg(i));
            row->addWidget(desktop);
            form->addRow(QString::fromStdString(titles[index]), row);
        }
        // The field's clear button.
        connect(field, &QKeySequenceEdit::keySequenceChanged, this,
                [this, i](const QKeySequence& sequence) {
                    if (!applying_ && sequence.isEmpty()) {
                        Choose(i, {});
                    }
                });
    }
    globalSwitch_ = new QCheckBox(QStringLiteral("Global Hotkeys"), this);
    globalSwitch_->setChecked(values.GlobalHotkeys);
    auto* backend = new QLabel(QString::fromStdString(backendLine), this);
    backend->setObjectName(QStringLiteral("backend"));
    backend->setWordWrap(true);
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("refusal"));
    refusal_->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(globalSwitch_);
    layout->addWidget(backend);
    layout->addWidget(refusal_);
    layout->addWidget(buttons);
}

void HotkeysDialog::Show(int command) {
    applying_ = true;
    fields_[static_cast<std::size_t>(command)]->setKeySequence(
        keys_[static_cast<std::size_t>(command)]);
    applying_ = false;
}

bool HotkeysDialog::Choose(int command, const QKeySequence& key) {
    const auto index = static_cast<std::size_t>(command);
    hotkeys::HotkeySpec hotkey;
    if (!key.isEmpty() && !SpecOf(key, &hotkey)) {
        refusal_->setText(QStringLiteral("%1 cannot be a hotkey.").arg(key.toString()));
        Show(command);
        return false;
    }
    for (std::size_t other = 0; other < keys_.size() && !key.isEmpty(); ++other) {
        hotkeys::HotkeySpec taken;
        if (other != index && SpecOf(keys_[other], &taken) && taken == hotkey) {
            refusal_->setText(QStringLiteral("%1 is already the key of %2.")
                                  .arg(key.toString(), QString::fromStdString(titles_[other])));
            Show(command);
            return false;
        }
    }
    refusal_->clear();
    keys_[index] = key;
    Show(command);
    return true;
}

QString HotkeysDialog::Refusal() const {
    return refusal_->text();
}

HotkeysDialogValues HotkeysDialog::Values() const {
    HotkeysDialogValues values;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        values.Names[i] = NameOf(keys_[i]);
    }
    values.GlobalHotkeys = globalSwitch_->isChecked();
    return values;
}
