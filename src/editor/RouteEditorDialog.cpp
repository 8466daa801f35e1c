#include "RouteEditorDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "QuorvelEngine.h"
#include "RouteAlignment.h"
#include "RouteTableModel.h"
#include "TimeTextValidator.h"

namespace {

// Time cells are typed into a line edit that takes only time text and says why it refuses a
// keystroke.
class TimeCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const auto* model = qobject_cast<const RouteTableModel*>(index.model());
        const bool isTime =
            index.column() == RouteTableModel::kBestColumn || model->runAt(index.column()) >= 0;
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (isTime && line != nullptr) {
            auto* validator = new TimeTextValidator(/*AllowNegative=*/false, line);
            QObject::connect(validator, &TimeTextValidator::refused, line,
                             [line](const QString& why) { ShowRefusal(line, why); });
            line->setValidator(validator);
        }
        return editor;
    }

    static void ShowRefusal(QLineEdit* line, const QString& why) {
        line->setToolTip(why);
        QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())), why, line);
    }
};

QPushButton* Button(const QString& text, QLayout* into) {
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);  // Return stays with OK
    into->addWidget(button);
    return button;
}

}  // namespace

RouteEditorDialog::RouteEditorDialog(RouteData initial, QWidget* parent)
    : QDialog(parent), model_(new RouteTableModel(std::move(initial), this)) {
    for (const RouteRow& split : model_->route().Splits) {
        initialNames_.push_back(split.Name);
    }
    setWindowTitle(tr("Edit Splits"));
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    description_ = new QLineEdit;
    description_->setObjectName(QStringLiteral("description"));
    form->addRow(tr("&Description"), description_);
    auto* numbers = new QHBoxLayout;
    startOffset_ = new QLineEdit;
    startOffset_->setObjectName(QStringLiteral("startOffset"));
    startOffset_->setValidator(new TimeTextValidator(/*AllowNegative=*/true, startOffset_));
    startOffset_->setToolTip(tr("The time the clock starts at; a negative time is a lead-in"));
    numbers->addWidget(startOffset_);
    numbers->addWidget(new QLabel(tr("&Attempts")));
    attempts_ = new QSpinBox;
    attempts_->setRange(0, std::numeric_limits<int>::max());
    qobject_cast<QLabel*>(numbers->itemAt(1)->widget())->setBuddy(attempts_);
    numbers->addWidget(attempts_);
    segments_ = new QCheckBox(tr("&Segment times"));
    segments_->setToolTip(tr("Show and type each split's own time instead of the running time"));
    numbers->addWidget(segments_);
    numbers->addStretch();
    auto* offsetLabel = new QLabel(tr("Start &offset"));
    offsetLabel->setBuddy(startOffset_);
    form->addRow(offsetLabel, numbers);
    layout->addLayout(form);

    table_ = new QTableView;
    table_->setModel(model_);
    table_->setItemDelegate(new TimeCellDelegate(table_));
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setMinimumSize(520, 240);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    const auto fitColumns = [this] {
        table_->resizeColumnsToContents();
        // Room for the names and times still to be typed.
        for (int column = 0; column + 1 < model_->columnCount(); ++column) {
            const int least = column == RouteTableModel::kNameColumn ? 150 : 75;
            table_->setColumnWidth(column, std::max(table_->columnWidth(column), least));
        }
        table_->horizontalHeader()->setStretchLastSection(true);
    };
    connect(model_, &QAbstractItemModel::modelReset, this, fitColumns);
    connect(model_, &QAbstractItemModel::headerDataChanged, this, fitColumns);
    fitColumns();
    layout->addWidget(table_);

    auto* rows = new QHBoxLayout;
    rows->addWidget(new QLabel(tr("Splits:")));
    connect(Button(tr("&Insert Split"), rows), &QPushButton::clicked, this,
            &RouteEditorDialog::insertSplit);
    connect(Button(tr("&Remove Split"), rows), &QPushButton::clicked, this,
            &RouteEditorDialog::removeSplit);
    connect(Button(tr("Move &Up"), rows), &QPushButton::clicked, this, [this] { moveSplit(-1); });
    connect(Button(tr("Move Do&wn"), rows), &QPushButton::clicked, this, [this] { moveSplit(1); });
    rows->addStretch();
    layout->addLayout(rows);

    auto* runs = new QHBoxLayout;
    runs->addWidget(new QLabel(tr("Stored runs:")));
    connect(Button(tr("Add Ru&n…"), runs), &QPushButton::clicked, this, [this] {
        const QString title = askRunTitle(tr("Title of the new stored run:"),
                                          tr("Run %1").arg(model_->runCount() + 1));
        if (!title.isNull()) {
            addRun(title);
        }
    });
    renameRunButton_ = Button(tr("Rena&me Run…"), runs);
    connect(renameRunButton_, &QPushButton::clicked, this, [this] {
        const int run = currentRun();
        const QString title =
            askRunTitle(tr("New title of the stored run:"),
                        QString::fromStdString(route().RunTitles[static_cast<std::size_t>(run)]));
        if (!title.isNull()) {
            renameRun(title);
        }
    });
    removeRunButton_ = Button(tr("Remove Run"), runs);
    connect(removeRunButton_, &QPushButton::clicked, this, &RouteEditorDialog::removeRun);
    connect(Button(tr("Move Run &Left"), runs), &QPushButton::clicked, this,
            [this] { moveRun(-1); });
    connect(Button(tr("Move Run Ri&ght"), runs), &QPushButton::clicked, this,
            [this] { moveRun(1); });
    runs->addStretch();
    layout->addLayout(runs);

    racedRun_ = new QLabel;
    racedRun_->setWordWrap(true);
    layout->addWidget(racedRun_);
    historyWarning_ = new QLabel;
    historyWarning_->setObjectName(QStringLiteral("historyWarning"));
    historyWarning_->setWordWrap(true);
    historyWarning_->setStyleSheet(QStringLiteral("color: #c03020; font-weight: bold"));
    historyWarning_->hide();
    layout->addWidget(historyWarning_);

    auto* bottom = new QHBoxLayout;
    QAction* undo = model_->undoStack()->createUndoAction(this, tr("&Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = model_->undoStack()->createRedoAction(this, tr("Re&do"));
    redo->setShortcuts({QKeySequence::Redo, QKeySequence(tr("Ctrl+Y"))});
    addAction(undo);
    addAction(redo);
    QPushButton* undoButton = Button(tr("Undo"), bottom);
    QPushButton* redoButton = Button(tr("Redo"), bottom);
    connect(undoButton, &QPushButton::clicked, undo, &QAction::trigger);
    connect(redoButton, &QPushButton::clicked, redo, &QAction::trigger);
    connect(model_->undoStack(), &QUndoStack::canUndoChanged, undoButton, &QWidget::setEnabled);
    connect(model_->undoStack(), &QUndoStack::canRedoChanged, redoButton, &QWidget::setEnabled);
    undoButton->setEnabled(false);
    redoButton->setEnabled(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &RouteEditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RouteEditorDialog::reject);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    const auto key = [this](const QKeySequence& sequence, auto action) {
        auto* shortcut = new QShortcut(sequence, table_);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::Key_Insert), [this] { insertSplit(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { removeSplit(); });
    key(QKeySequence(Qt::ALT | Qt::Key_Up), [this] { moveSplit(-1); });
    key(QKeySequence(Qt::ALT | Qt::Key_Down), [this] { moveSplit(1); });
    key(QKeySequence(Qt::Key_Delete), [this] {
        const QModelIndex current = table_->currentIndex();
        if (current.isValid()) {
            model_->setData(current, QString());
        }
    });

    connect(description_, &QLineEdit::editingFinished, this, &RouteEditorDialog::commitFields);
    connect(startOffset_, &QLineEdit::editingFinished, this, &RouteEditorDialog::commitFields);
    connect(attempts_, &QSpinBox::editingFinished, this, &RouteEditorDialog::commitFields);
    connect(segments_, &QCheckBox::toggled, model_, &RouteTableModel::setShowSegments);
    connect(model_, &RouteTableModel::fieldsChanged, this, &RouteEditorDialog::showFields);
    connect(model_, &RouteTableModel::routeChanged, this, &RouteEditorDialog::showRunState);
    connect(model_, &RouteTableModel::routeChanged, this, &RouteEditorDialog::showHistoryWarning);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &RouteEditorDialog::showRunState);

    // Wide enough to show every column at once, within reason.
    int width = table_->verticalHeader()->sizeHint().width() + 2 * table_->frameWidth() + 40;
    for (int column = 0; column < model_->columnCount(); ++column) {
        width += table_->columnWidth(column);
    }
    resize(std::clamp(width, 560, 1100), 520);

    showFields();
    showRunState();
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, RouteTableModel::kNameColumn));
    }
    table_->setFocus();
}

const RouteData& RouteEditorDialog::route() const {
    return model_->route();
}

void RouteEditorDialog::setHistoryTimes(std::vector<std::size_t> timesPerSplit) {
    historyTimes_ = std::move(timesPerSplit);
    showHistoryWarning();
}

QString RouteEditorDialog::historyWarning() const {
    std::vector<bool> kept(historyTimes_.size(), false);
    for (const std::optional<std::size_t>& origin : model_->splitOrigins()) {
        if (origin && *origin < kept.size()) {
            kept[*origin] = true;
        }
    }
    // The removed splits by the names they had, which the runner can still bring back.
    QStringList names;
    for (std::size_t row = 0; row < historyTimes_.size() && row < initialNames_.size(); ++row) {
        if (!kept[row] && historyTimes_[row] > 0) {
            names.append(QString::fromStdString(initialNames_[row]));
        }
    }
    if (names.isEmpty()) {
        return {};
    }
    return QString::fromStdString(history::RemovalWarning(static_cast<std::size_t>(names.size()))) +
           QStringLiteral(": ") + names.join(QStringLiteral(", ")) + QStringLiteral(".");
}

void RouteEditorDialog::showHistoryWarning() {
    const QString warning = historyWarning();
    historyWarning_->setText(warning);
    historyWarning_->setVisible(!warning.isEmpty());
}

void RouteEditorDialog::commitFields() {
    // Each step shows the route's fields again, so all three are read first.
    const QString description = description_->text();
    const TimeTextValidator::Reading offset =
        TimeTextValidator::Read(startOffset_->text(), /*AllowNegative=*/true);
    const int attempts = attempts_->value();
    model_->setDescription(description);
    if (offset.Verdict == QValidator::Acceptable) {
        model_->setStartOffset(offset.Value);
    }
    model_->setAttemptCount(attempts);
}

void RouteEditorDialog::showFields() {
    const RouteData& shown = route();
    description_->setText(QString::fromStdString(shown.Description));
    startOffset_->setText(QString::fromStdString(
        LongToTimeString(shown.StartOffset, /*ShowPlus=*/false, /*ShortForm=*/true)));
    attempts_->setValue(shown.AttemptCount);
}

void RouteEditorDialog::showRunState() {
    const int runs = model_->runCount();
    racedRun_->setText(
        runs == 0 ? tr("No stored run: the run you race is the best splits. Add a run to keep "
                       "your runs.")
                  : tr("Each column after Best Split is a stored run; the last one is the run "
                       "you race (%1).")
                        .arg(QString::fromStdString(route().RunTitles.back())));
    removeRunButton_->setEnabled(runs > 0);
    renameRunButton_->setEnabled(runs > 0);
}

int RouteEditorDialog::currentRun() const {
    const int run = model_->runAt(table_->currentIndex().column());
    return run >= 0 ? run : model_->runCount() - 1;
}

QString RouteEditorDialog::askRunTitle(const QString& question, const QString& suggestion) {
    bool ok = false;
    const QString title =
        QInputDialog::getText(this, tr("Stored Run"), question, QLineEdit::Normal, suggestion, &ok);
    return ok ? title : QString();
}

void RouteEditorDialog::insertSplit() {
    const QModelIndex current = table_->currentIndex();
    const int row = current.isValid() ? current.row() + 1 : model_->rowCount();
    if (model_->insertSplit(row)) {
        table_->setCurrentIndex(model_->index(row, RouteTableModel::kNameColumn));
    }
}

void RouteEditorDialog::removeSplit() {
    const QModelIndex current = table_->currentIndex();
    if (current.isValid()) {
        model_->removeSplit(current.row());
    }
}

void RouteEditorDialog::moveSplit(int by) {
    const QModelIndex current = table_->currentIndex();
    if (current.isValid() && model_->moveSplit(current.row(), current.row() + by)) {
        table_->setCurrentIndex(model_->index(current.row() + by, current.column()));
    }
}

void RouteEditorDialog::addRun(const QString& title) {
    const int at = model_->runCount();
    if (model_->addRun(at, title)) {
        table_->setCurrentIndex(model_->index(0, model_->runColumn(at)));
    }
}

void RouteEditorDialog::renameRun(const QString& title) {
    model_->renameRun(currentRun(), title);
}

void RouteEditorDialog::removeRun() {
    model_->removeRun(currentRun());
}

void RouteEditorDialog::moveRun(int by) {
    const int run = currentRun();
    if (model_->moveRun(run, run + by) && model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, model_->runColumn(run + by)));
    }
}

void RouteEditorDialog::accept() {
    commitFields();
    QDialog::accept();
}
