// View ▸ Statistics…: a route's history at a glance. The figures come from history/
// (HistoryStatistics.h); this is how the window shows them.
//
//   1,234 attempts started, 456 finished; time played 41:12:05.30 (real time)
//   Personal best 1:23:45.67   Sum of best 1:21:02.10
//   +--------------------------------------------------------------+
//   |  .      .  .    o  o                 o finished  · not       |  the attempts over time:
//   |   . o  .    o~~~~~~~~~~~o   o  .     finished  ~ personal    |  each one in the order
//   |  o~~~~~~~~~~~~~            ~~~~~~~~~~~~~~~~  best              |  it was run
//   +--------------------------------------------------------------+
//   Split   | Best  | Average | Median | Worst | Latest | Sum of best | Reached | Ended here
//   Forest  | 40.10 | 43.22   | 42.90  | 58.00 | 41.30  | 40.10       | 1,234   | 310
//   [Save Attempts as CSV…] [Save Splits as CSV…]                               [Close]
//
// The chart puts each finished attempt at its final time and each one that did not finish
// at the split where it ended (the time it got there, 0 for the first split), and draws the
// personal best as a line that steps down. Only attempts on the history's latest clock
// count (real or game time, as quorvel-history).
//
// Text is drawn at the window's zoom (never smaller than the desktop's own size). The save
// buttons hand the table as CSV to the saver the shell gives (it asks for a file name and
// writes it); without one they do nothing. Qt Widgets and Qt Charts over history/; nothing
// here touches a file.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "HistoryStatistics.h"

class QChart;
class QLabel;
class QTableWidget;

class StatisticsDialog : public QDialog {
    Q_OBJECT

  public:
    // routeBest: the split file's best segments (0 for none), as single segments for the sum
    // of best; routeName: "route.txt", in the title and the names suggested for the CSV files.
    StatisticsDialog(history::History history, const std::vector<std::int32_t>& routeBest,
                     const std::string& routeName, double zoom, QWidget* parent = nullptr);

    const history::Statistics& statistics() const { return statistics_; }
    QLabel* summary() { return summary_; }
    QTableWidget* splitsTable() { return table_; }
    QChart* chart() { return chart_; }

    // saver(suggestedName, csv): "route-attempts.csv" or "route-splits.csv", and the table.
    using Saver = std::function<void(const std::string& suggestedName, const std::string& csv)>;
    void setSaver(Saver saver) { saver_ = std::move(saver); }
    void saveAttempts();
    void saveSplits();

    // A time as the chart's axis says it: 9000 -> "1:30", 4550 -> "45.50", 0 -> "0".
    static QString AxisTime(std::int32_t hundredths);

  private:
    void buildChart(double scale);
    void fillTable();

    history::History history_;
    history::Statistics statistics_;
    std::string baseName_;  // "route" of "route.txt"
    Saver saver_;
    QLabel* summary_ = nullptr;
    QChart* chart_ = nullptr;
    QTableWidget* table_ = nullptr;
};
