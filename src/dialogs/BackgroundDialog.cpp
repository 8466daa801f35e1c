#include "BackgroundDialog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QColor>
#include <QColorDialog>
#include <QPushButton>
#include <utility>

namespace {

BackgroundColourHook& Hook() {
    static BackgroundColourHook hook;
    return hook;
}

}  // namespace

void SetBackgroundColourTestHook(BackgroundColourHook hook) {
    Hook() = std::move(hook);
}

std::optional<std::string> ChooseBackgroundColour(const std::string& current,
                                                  const std::string& chromaGreen,
                                                  const std::string& byDefault, QWidget* parent) {
    if (Hook()) {
        return Hook()(current);
    }
    QColorDialog dialog(QColor(QString::fromStdString(current)),
                        parent != nullptr ? parent : QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Background Colour"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    auto* choices = new QHBoxLayout;
    for (const auto& [title, colour] : {std::pair{QStringLiteral("Chroma green"), chromaGreen},
                                        std::pair{QStringLiteral("Default"), byDefault}}) {
        auto* button = new QPushButton(title, &dialog);
        button->setAutoDefault(false);
        const QColor chosen(QString::fromStdString(colour));
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&dialog, chosen] { dialog.setCurrentColor(chosen); });
        choices->addWidget(button);
    }
    choices->addStretch();
    if (auto* layout = qobject_cast<QBoxLayout*>(dialog.layout())) {
        layout->insertLayout(layout->count() - 1, choices);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor().name(QColor::HexRgb).toStdString();
}
