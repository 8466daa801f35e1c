#include "ControlServerDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* Part(const QDialog& dialog, const char* name) {
    return dialog.findChild<Widget*>(QString::fromLatin1(name));
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void Build(QDialog& dialog, const ControlServerValues& values, const std::string& problem) {
    dialog.setWindowTitle(QStringLiteral("Control Server"));
    auto* on = Named(new QCheckBox(QStringLiteral("Listen on a TCP port"), &dialog), "on");
    on->setChecked(values.On);
    auto* port = Named(new QSpinBox(&dialog), "port");
    port->setRange(1, 65535);
    port->setValue(values.Port >= 1 && values.Port <= 65535 ? values.Port : 16834);
    auto* others =
        Named(new QCheckBox(QStringLiteral("Allow other computers"), &dialog), "allowOthers");
    others->setChecked(values.AllowOtherComputers);
    auto* warning = Named(
        new QLabel(QStringLiteral("Anyone on the network can then control the timer."), &dialog),
        "warning");
    warning->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* trouble = Named(new QLabel(QString::fromStdString(problem), &dialog), "problem");
    trouble->setWordWrap(true);
    trouble->setVisible(!problem.empty());
    auto* local = new QLabel(
        QStringLiteral("Programs on this computer can always use quorvel-ctl."), &dialog);
    local->setWordWrap(true);
    const auto follow = [on, port, others, warning] {
        port->setEnabled(on->isChecked());
        others->setEnabled(on->isChecked());
        warning->setVisible(on->isChecked() && others->isChecked());
    };
    QObject::connect(on, &QCheckBox::toggled, &dialog, follow);
    QObject::connect(others, &QCheckBox::toggled, &dialog, follow);
    follow();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Port:"), port);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(on);
    layout->addLayout(form);
    layout->addWidget(others);
    layout->addWidget(warning);
    layout->addWidget(trouble);
    layout->addWidget(local);
    layout->addWidget(buttons);
}

}  // namespace

ControlServerDialog::ControlServerDialog(const ControlServerValues& values,
                                         const std::string& problem, QWidget* parent)
    : QDialog(parent) {
    Build(*this, values, problem);
}

ControlServerValues ControlServerDialog::Values() const {
    ControlServerValues values;
    values.On = Part<QCheckBox>(*this, "on")->isChecked();
    values.Port = Part<QSpinBox>(*this, "port")->value();
    values.AllowOtherComputers = Part<QCheckBox>(*this, "allowOthers")->isChecked();
    return values;
}
