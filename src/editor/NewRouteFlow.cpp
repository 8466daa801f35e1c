#include "NewRouteFlow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "QuorvelEngine.h"
#include "RouteEditorDialog.h"

bool WriteNewRoute(const std::string& path, const RouteData& route) {
    QuorvelClass engine("");
    engine.SplitFileName = path;
    engine.SetRoute(route);
    return !engine.LastSaveFailed;
}

std::string NewRouteFlow(QWidget* parent, const std::string& folder) {
    QFileDialog ask(parent, QObject::tr("New Route"), QString::fromStdString(folder),
                    QObject::tr("Split files (*.txt);;All files (*)"));
    ask.setAcceptMode(QFileDialog::AcceptSave);
    ask.setFileMode(QFileDialog::AnyFile);
    ask.setDefaultSuffix(QStringLiteral("txt"));
    // The toolkit's own dialog on every desktop, so the name field can be given the focus.
    ask.setOption(QFileDialog::DontUseNativeDialog);
    ask.selectFile(QObject::tr("New Route.txt"));
    QTimer::singleShot(0, &ask, [&ask] {
        if (auto* name = ask.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setFocus();
            name->selectAll();
        }
    });
    if (ask.exec() != QDialog::Accepted || ask.selectedFiles().isEmpty()) {
        return {};
    }
    const std::string path = QDir::toNativeSeparators(ask.selectedFiles().front()).toStdString();

    RouteEditorDialog editor(NewRouteData(), parent);
    editor.setWindowTitle(
        QObject::tr("New Route: %1").arg(QFileInfo(QString::fromStdString(path)).fileName()));
    if (editor.exec() != QDialog::Accepted) {
        return {};
    }
    if (!WriteNewRoute(path, editor.route())) {
        QMessageBox::warning(parent, QObject::tr("New Route"),
                             QObject::tr("The split file %1 could not be written.")
                                 .arg(QString::fromStdString(path)));
        return {};
    }
    return path;
}
