// Edit ▸ Edit Splits…: the split editor. It edits a copy of a route; OK hands the edited
// route back for one write of the split file, Cancel and Escape change nothing.
//
//   Description  [Any% glitchless              ]
//   Start offset [-0.33]   Attempts [12]   [ ] Segment times
//   +---------+------------+---------+-----------------------+-------+
//   | Split   | Best Split | Run 1   | Personal Best (raced) | Notes |
//   +---------+------------+---------+-----------------------+-------+
//   [Insert Split] [Remove Split] [Move Up] [Move Down]
//   [Add Run…] [Rename Run…] [Remove Run] [Move Run Left] [Move Run Right]
//   Each column after Best Split is a stored run; the last one is the run you race.
//   1 split's history will be removed: Castle.        (only when a removed split has one)
//   [Undo] [Redo]                                              [OK] [Cancel]
//
// Keys in the table: typing edits the cell; Insert adds a split below the current one,
// Ctrl+Delete removes it, Alt+Up and Alt+Down move it, Delete empties the cell; Ctrl+Z
// undoes, Ctrl+Shift+Z and Ctrl+Y redo. Return (when no cell is being edited) is OK.
#pragma once

#include <QDialog>
#include <cstddef>
#include <string>
#include <vector>

#include "RouteData.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class RouteTableModel;

class RouteEditorDialog : public QDialog {
    Q_OBJECT

  public:
    explicit RouteEditorDialog(RouteData initial, QWidget* parent = nullptr);

    // The route as edited so far.
    const RouteData& route() const;
    // How many times the route's history holds at each split of the route given (from the
    // history's TimesPerSplit): removing a split that holds some is said before OK.
    void setHistoryTimes(std::vector<std::size_t> timesPerSplit);
    // "" or what OK would remove of the history: "2 splits' history will be removed: A, B."
    QString historyWarning() const;
    RouteTableModel* model() { return model_; }
    QTableView* table() { return table_; }

    // What the buttons and keys do, on the current cell's split or stored run (the raced
    // run when the current cell is in no stored run).
    void insertSplit();
    void removeSplit();
    void moveSplit(int by);
    void addRun(const QString& title);
    void renameRun(const QString& title);
    void removeRun();
    void moveRun(int by);

    void accept() override;

  private:
    void commitFields();
    void showFields();
    void showRunState();
    void showHistoryWarning();
    int currentRun() const;
    QString askRunTitle(const QString& question, const QString& suggestion);

    RouteTableModel* model_;
    QTableView* table_;
    QLineEdit* description_;
    QLineEdit* startOffset_;
    QSpinBox* attempts_;
    QCheckBox* segments_;
    QLabel* racedRun_;
    QLabel* historyWarning_;
    std::vector<std::size_t> historyTimes_;
    std::vector<std::string> initialNames_;
    QPushButton* removeRunButton_;
    QPushButton* renameRunButton_;
};
