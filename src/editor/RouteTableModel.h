// The split editor's grid: a route (RouteData) as a table, every change an undo step.
//
//   Split     | Best Split | Run 1   | Personal Best | Notes
//   Level 1   | 40.10      | 41.00   | 40.50         | watch the gap ⏎ jump late
//   Level 2   | 1:35.10    | 1:36.20 | 1:37.00       |
//
// Rows are the splits. Columns: the split's name, the best split, one per stored run (the
// last is the run raced), and the split's note (the note of its best-split cell, which stays
// put whatever happens to the stored runs). Times show as running times, or as segment times
// with setShowSegments(true); an empty cell is a missing time. Time text is read by
// TimeTextValidator; a text it does not take as a time is not stored.
//
// Every change (a cell, a row or stored run added, removed, renamed or moved, the
// description, start offset or attempt count) goes on undoStack() as one step; undo and redo
// bring the route back exactly.
//
// Each split remembers where it was in the route the editor was given, so that the route's
// history can follow it (splitOrigins): route A B C D, insert after A, remove D, move C up
// -> origins {0, 2, none, 1}.
#pragma once

#include <QAbstractTableModel>
#include <QUndoStack>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "RouteData.h"

class RouteTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit RouteTableModel(RouteData route, QObject* parent = nullptr);

    const RouteData& route() const { return route_; }
    // For each split, its row in the route the editor was given; none for an inserted one.
    using Origins = std::vector<std::optional<std::size_t>>;
    const Origins& splitOrigins() const { return origins_; }
    QUndoStack* undoStack() { return &undo_; }

    bool showSegments() const { return showSegments_; }
    void setShowSegments(bool segments);

    // Columns.
    static constexpr int kNameColumn = 0;
    static constexpr int kBestColumn = 1;
    static constexpr int kFirstRunColumn = 2;
    int runColumn(int run) const { return kFirstRunColumn + run; }
    int notesColumn() const;
    int runCount() const { return static_cast<int>(route_.RunTitles.size()); }
    // The stored run shown in column, or -1.
    int runAt(int column) const;

    // The edits; each is one undo step and answers false, changing nothing, when its row or
    // run does not exist.
    bool insertSplit(int row);  // named "Split n", n its position counted from 1
    bool removeSplit(int row);
    bool moveSplit(int from, int to);
    bool addRun(int at, const QString& title);
    bool renameRun(int run, const QString& title);
    bool removeRun(int run);
    bool moveRun(int from, int to);
    void setDescription(const QString& text);
    void setStartOffset(std::int32_t offset);
    void setAttemptCount(std::int32_t count);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // How a step changed the table, so the views keep their place.
    struct Change {
        enum Kind { Cells, Fields, InsertRow, RemoveRow, MoveRow, Columns } What = Cells;
        int From = 0;
        int To = 0;
        Change Inverse() const;
    };
    // Used by the undo steps: puts route (and where its splits came from) in place and tells
    // the views.
    void apply(const RouteData& route, const Origins& origins, Change change);

  signals:
    // The description, start offset or attempt count changed (an edit, an undo or a redo).
    void fieldsChanged();
    // Anything changed.
    void routeChanged();

  private:
    // Pushes the step from the current route to edited, unless they are the same; origins:
    // where edited's splits came from, when rows were added, removed or moved.
    bool push(const QString& text, RouteData edited, Change change,
              std::optional<Origins> origins = std::nullopt);
    QString timeText(int row, int column) const;

    RouteData route_;
    Origins origins_;
    QUndoStack undo_;
    bool showSegments_ = false;
};
