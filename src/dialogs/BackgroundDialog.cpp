#include "BackgroundDialog.h"

#include <QBoxLayout>
#include <QColor>
#include <QPushButton>
#include <utility>

BackgroundDialog::BackgroundDialog(const std::string& current, const std::string& chromaGreen,
                                   const std::string& byDefault, QWidget* parent)
    : QColorDialog(QColor(QString::fromStdString(current)), parent) {
    setWindowTitle(QStringLiteral("Background Colour"));
    setOption(QColorDialog::DontUseNativeDialog);
    auto* choices = new QHBoxLayout;
    for (const auto& [title, colour] : {std::pair{QStringLiteral("Chroma green"), chromaGreen},
                                        std::pair{QStringLiteral("Default"), byDefault}}) {
        auto* button = new QPushButton(title, this);
        button->setAutoDefault(false);
        const QColor chosen(QString::fromStdString(colour));
        connect(button, &QPushButton::clicked, this, [this, chosen] { setCurrentColor(chosen); });
        choices->addWidget(button);
    }
    choices->addStretch();
    if (auto* box = qobject_cast<QBoxLayout*>(layout())) {
        box->insertLayout(box->count() - 1, choices);
    }
}

std::string BackgroundDialog::Chosen() const {
    return currentColor().name(QColor::HexRgb).toStdString();
}
