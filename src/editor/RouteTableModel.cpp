#include "RouteTableModel.h"

#include <QUndoCommand>
#include <utility>

#include "QuorvelEngine.h"
#include "TimeTextValidator.h"

namespace {

// One step: the route before and after, and how the table changed.
class RouteStep : public QUndoCommand {
  public:
    using Origins = RouteTableModel::Origins;
    RouteStep(RouteTableModel* model, const QString& text, RouteData before, Origins beforeOrigins,
              RouteData after, Origins afterOrigins, RouteTableModel::Change change)
        : QUndoCommand(text),
          model_(model),
          before_(std::move(before)),
          after_(std::move(after)),
          beforeOrigins_(std::move(beforeOrigins)),
          afterOrigins_(std::move(afterOrigins)),
          change_(change) {}
    void redo() override { model_->apply(after_, afterOrigins_, change_); }
    void undo() override { model_->apply(before_, beforeOrigins_, change_.Inverse()); }

  private:
    RouteTableModel* model_;
    RouteData before_;
    RouteData after_;
    Origins beforeOrigins_;
    Origins afterOrigins_;
    RouteTableModel::Change change_;
};

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

RouteTableModel::Change RouteTableModel::Change::Inverse() const {
    switch (What) {
        case InsertRow:
            return {RemoveRow, From, To};
        case RemoveRow:
            return {InsertRow, From, To};
        case MoveRow:
            return {MoveRow, To, From};
        default:
            return *this;
    }
}

RouteTableModel::RouteTableModel(RouteData route, QObject* parent)
    : QAbstractTableModel(parent), route_(std::move(route)) {
    NormaliseRoute(&route_);
    for (std::size_t row = 0; row < route_.Splits.size(); ++row) {
        origins_.push_back(row);
    }
}

void RouteTableModel::setShowSegments(bool segments) {
    if (segments == showSegments_) {
        return;
    }
    showSegments_ = segments;
    emit headerDataChanged(Qt::Horizontal, kBestColumn, kBestColumn);
    if (rowCount() > 0) {
        emit dataChanged(index(0, kBestColumn), index(rowCount() - 1, notesColumn() - 1));
    }
}

int RouteTableModel::notesColumn() const {
    return kFirstRunColumn + runCount();
}

int RouteTableModel::runAt(int column) const {
    const int run = column - kFirstRunColumn;
    return run >= 0 && run < runCount() ? run : -1;
}

bool RouteTableModel::insertSplit(int row) {
    RouteData edited = route_;
    if (row < 0 ||
        !InsertSplit(&edited, static_cast<std::size_t>(row), "Split " + std::to_string(row + 1))) {
        return false;
    }
    Origins origins = origins_;
    origins.insert(origins.begin() + row, std::nullopt);
    return push(tr("Insert split"), std::move(edited), {Change::InsertRow, row, row},
                std::move(origins));
}

bool RouteTableModel::removeSplit(int row) {
    RouteData edited = route_;
    if (row < 0 || !RemoveSplit(&edited, static_cast<std::size_t>(row))) {
        return false;
    }
    Origins origins = origins_;
    origins.erase(origins.begin() + row);
    return push(tr("Remove split"), std::move(edited), {Change::RemoveRow, row, row},
                std::move(origins));
}

bool RouteTableModel::moveSplit(int from, int to) {
    RouteData edited = route_;
    if (from < 0 || to < 0 || from == to ||
        !MoveSplit(&edited, static_cast<std::size_t>(from), static_cast<std::size_t>(to))) {
        return false;
    }
    Origins origins = origins_;
    const std::optional<std::size_t> moved = origins[static_cast<std::size_t>(from)];
    origins.erase(origins.begin() + from);
    origins.insert(origins.begin() + to, moved);
    return push(tr("Move split"), std::move(edited), {Change::MoveRow, from, to},
                std::move(origins));
}

bool RouteTableModel::addRun(int at, const QString& title) {
    RouteData edited = route_;
    if (at < 0 || !AddRun(&edited, static_cast<std::size_t>(at), title.toStdString())) {
        return false;
    }
    return push(tr("Add run"), std::move(edited), {Change::Columns, at, at});
}

bool RouteTableModel::renameRun(int run, const QString& title) {
    RouteData edited = route_;
    if (run < 0 || !RenameRun(&edited, static_cast<std::size_t>(run), title.toStdString())) {
        return false;
    }
    push(tr("Rename run"), std::move(edited), {Change::Columns, run, run});
    return true;
}

bool RouteTableModel::removeRun(int run) {
    RouteData edited = route_;
    if (run < 0 || !RemoveRun(&edited, static_cast<std::size_t>(run))) {
        return false;
    }
    return push(tr("Remove run"), std::move(edited), {Change::Columns, run, run});
}

bool RouteTableModel::moveRun(int from, int to) {
    RouteData edited = route_;
    if (from < 0 || to < 0 || from == to ||
        !MoveRun(&edited, static_cast<std::size_t>(from), static_cast<std::size_t>(to))) {
        return false;
    }
    return push(tr("Move run"), std::move(edited), {Change::Columns, from, to});
}

void RouteTableModel::setDescription(const QString& text) {
    RouteData edited = route_;
    edited.Description = HeaderText(text.toStdString());
    push(tr("Description"), std::move(edited), {Change::Fields, 0, 0});
}

void RouteTableModel::setStartOffset(std::int32_t offset) {
    RouteData edited = route_;
    edited.StartOffset = offset;
    push(tr("Start offset"), std::move(edited), {Change::Fields, 0, 0});
}

void RouteTableModel::setAttemptCount(std::int32_t count) {
    RouteData edited = route_;
    edited.AttemptCount = count;
    push(tr("Attempt count"), std::move(edited), {Change::Fields, 0, 0});
}

bool RouteTableModel::push(const QString& text, RouteData edited, Change change,
                           std::optional<Origins> origins) {
    if (edited == route_ && (!origins || *origins == origins_)) {
        return true;
    }
    undo_.push(new RouteStep(this, text, route_, origins_, std::move(edited),
                             origins ? std::move(*origins) : origins_, change));
    return true;
}

void RouteTableModel::apply(const RouteData& route, const Origins& origins, Change change) {
    origins_ = origins;
    switch (change.What) {
        case Change::Cells:
            route_ = route;
            break;
        case Change::Fields:
            route_ = route;
            emit fieldsChanged();
            break;
        case Change::InsertRow:
            beginInsertRows(QModelIndex(), change.From, change.From);
            route_ = route;
            endInsertRows();
            break;
        case Change::RemoveRow:
            beginRemoveRows(QModelIndex(), change.From, change.From);
            route_ = route;
            endRemoveRows();
            break;
        case Change::MoveRow:
            beginMoveRows(QModelIndex(), change.From, change.From, QModelIndex(),
                          change.To > change.From ? change.To + 1 : change.To);
            route_ = route;
            endMoveRows();
            break;
        case Change::Columns:
            beginResetModel();
            route_ = route;
            endResetModel();
            break;
    }
    // Times below a changed row can change with it (segments, best running totals).
    if (change.What != Change::Fields && rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    emit routeChanged();
}

int RouteTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(route_.Splits.size());
}

int RouteTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : notesColumn() + 1;
}

QString RouteTableModel::timeText(int row, int column) const {
    const auto r = static_cast<std::size_t>(row);
    std::int32_t time = 0;
    if (column == kBestColumn) {
        const std::int32_t segment = route_.Splits[r].BestSegment;
        time = showSegments_ || segment == 0 ? segment : BestRunningTime(route_, r);
    } else {
        const auto run = static_cast<std::size_t>(runAt(column));
        time = showSegments_ ? SegmentTime(route_, r, run) : route_.Splits[r].RunTimes[run];
    }
    return time == 0 ? QString()
                     : FromStd(LongToTimeString(time, /*ShowPlus=*/false, /*ShortForm=*/true));
}

QVariant RouteTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const RouteRow& split = route_.Splits[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    const bool isTime = column == kBestColumn || runAt(column) >= 0;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (column == kNameColumn) {
                return FromStd(split.Name);
            }
            if (column == notesColumn()) {
                QString note = FromStd(split.Notes[0]);
                return role == Qt::EditRole ? note : note.replace(u'\n', QStringLiteral(" ⏎ "));
            }
            return timeText(index.row(), column);
        case Qt::ToolTipRole: {
            // A stored run's cell note, kept from the file; the note column's whole text.
            const int run = runAt(column);
            const std::string& note = column == notesColumn() ? split.Notes[0]
                                      : run >= 0 ? split.Notes[static_cast<std::size_t>(run) + 1]
                                                 : split.Name;
            return note.empty() ? QVariant() : QVariant(FromStd(note));
        }
        case Qt::TextAlignmentRole:
            return isTime ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default:
            return {};
    }
}

bool RouteTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(index.row());
    const int column = index.column();
    const QString text = value.toString();
    RouteData edited = route_;
    if (column == kNameColumn) {
        RenameSplit(&edited, row, text.toStdString());
        return push(tr("Rename split"), std::move(edited), {});
    }
    if (column == notesColumn()) {
        SetNote(&edited, row, 0, text.toStdString());
        return push(tr("Note"), std::move(edited), {});
    }
    const TimeTextValidator::Reading reading = TimeTextValidator::Read(text, false);
    if (reading.Verdict != QValidator::Acceptable) {
        return false;
    }
    bool accepted = false;
    if (column == kBestColumn) {
        accepted = showSegments_ ? SetBestSegment(&edited, row, reading.Value)
                                 : SetBestRunningTime(&edited, row, reading.Value);
    } else {
        const auto run = static_cast<std::size_t>(runAt(column));
        accepted = showSegments_ ? SetRunSegment(&edited, row, run, reading.Value)
                                 : SetRunTime(&edited, row, run, reading.Value);
    }
    return accepted && push(tr("Time"), std::move(edited), {});
}

Qt::ItemFlags RouteTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant RouteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }
    const int run = runAt(section);
    const bool raced = run >= 0 && run == runCount() - 1;
    if (role == Qt::ToolTipRole) {
        return raced ? QVariant(tr("The last stored run is the run you race")) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (section == kNameColumn) {
        return tr("Split");
    }
    if (section == kBestColumn) {
        return showSegments_ ? tr("Best Segment") : tr("Best Split");
    }
    if (run >= 0) {
        const QString title = FromStd(route_.RunTitles[static_cast<std::size_t>(run)]);
        return raced ? tr("%1 (raced)").arg(title) : title;
    }
    return section == notesColumn() ? QVariant(tr("Notes")) : QVariant();
}
