#include "StatisticsDialog.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <optional>

#include "QuorvelEngine.h"

using history::AttemptPoint;
using history::Ending;
using history::SplitFigures;

namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QString Time(std::optional<std::int32_t> time) {
    return time ? FromStd(LongToTimeString(*time, /*ShowPlus=*/false, /*ShortForm=*/true))
                : QString();
}

QString Count(std::size_t count) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(count));
}

// The chart's time axis: a tick every step, the step the first of these that makes at most
// eight ticks.
std::int32_t TickStep(std::int32_t highest) {
    static constexpr std::array<std::int32_t, 16> kSteps = {
        100,   200,   500,   1000,   1500,   3000,   6000,    12000,
        30000, 60000, 90000, 180000, 360000, 720000, 1800000, 3600000};
    for (const std::int32_t step : kSteps) {
        if (highest / step < 8) {
            return step;
        }
    }
    return kSteps.back() * (highest / kSteps.back() / 8 + 1);
}

// The attempt axis: a tick every 1, 2, 5, 10, 20, 50... attempts, at most ten ticks.
double AttemptStep(std::size_t attempts) {
    double step = 1;
    for (int factor = 0; static_cast<double>(attempts) / step > 10; factor = (factor + 1) % 3) {
        step *= factor == 1 ? 2.5 : 2;
    }
    return step;
}

// The name the table's file is suggested under: "route.txt" -> "route-splits.csv".
std::string BaseName(const std::string& routeName) {
    const std::string::size_type dot = routeName.rfind('.');
    return dot == std::string::npos || dot == 0 ? routeName : routeName.substr(0, dot);
}

}  // namespace

QString StatisticsDialog::AxisTime(std::int32_t hundredths) {
    std::string text = LongToTimeString(hundredths, /*ShowPlus=*/false, /*ShortForm=*/true);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, ".00") == 0) {
        text.resize(text.size() - 3);
    }
    return FromStd(text);
}

StatisticsDialog::StatisticsDialog(history::History history,
                                   const std::vector<std::int32_t>& routeBest,
                                   const std::string& routeName, double zoom, QWidget* parent)
    : QDialog(parent), history_(std::move(history)), baseName_(BaseName(routeName)) {
    statistics_ = history::ComputeStatistics(history_, history::LatestClock(history_), routeBest);
    setWindowTitle(tr("Statistics: %1").arg(FromStd(routeName)));
    // The window's zoom, never below the desktop's own text size.
    const double scale = std::max(zoom, 1.0);
    QFont scaled = font();
    scaled.setPointSizeF(scaled.pointSizeF() * scale);
    setFont(scaled);

    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const history::Statistics& s = statistics_;
    const QString clock = s.Clock == history::TimeClock::Game ? tr("game time") : tr("real time");
    QString text = tr("%1 attempts started, %2 finished; time played %3 (%4)")
                       .arg(Count(s.AttemptsStarted), Count(s.AttemptsFinished),
                            FromStd(history::DurationText(s.TimePlayed)), clock);
    if (s.AttemptsStarted == 0) {
        text = tr("No attempts yet: each run of this route is kept from its start.");
    }
    text += QStringLiteral("\n") + tr("Personal best %1    Sum of best %2")
                                       .arg(s.PersonalBest ? Time(s.PersonalBest) : tr("none"),
                                            s.SumOfBest ? Time(s.SumOfBest) : tr("none"));
    summary_->setText(text);
    layout->addWidget(summary_);

    buildChart(scale);
    auto* view = new QChartView(chart_);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(static_cast<int>(260 * scale));
    layout->addWidget(view, 3);

    table_ = new QTableWidget;
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    fillTable();
    layout->addWidget(table_, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* attempts =
        buttons->addButton(tr("Save &Attempts as CSV…"), QDialogButtonBox::ActionRole);
    QPushButton* splits =
        buttons->addButton(tr("Save &Splits as CSV…"), QDialogButtonBox::ActionRole);
    connect(attempts, &QPushButton::clicked, this, &StatisticsDialog::saveAttempts);
    connect(splits, &QPushButton::clicked, this, &StatisticsDialog::saveSplits);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(static_cast<int>(820 * scale), static_cast<int>(640 * scale));
}

void StatisticsDialog::buildChart(double scale) {
    chart_ = new QChart;
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.9);
    chart_->legend()->setFont(small);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    auto* finished = new QScatterSeries;
    finished->setName(tr("Finished"));
    finished->setMarkerSize(7 * scale);
    auto* ended = new QScatterSeries;
    ended->setName(tr("Not finished, at the split where it ended"));
    ended->setMarkerSize(5 * scale);
    ended->setColor(QColor(150, 150, 150));
    ended->setBorderColor(QColor(150, 150, 150));
    auto* best = new QLineSeries;
    best->setName(tr("Personal best"));
    QPen bestPen(QColor(220, 160, 0));
    bestPen.setWidthF(2 * scale);
    best->setPen(bestPen);

    QList<QPointF> finishedPoints, endedPoints, bestPoints;
    std::optional<std::int32_t> shownBest;
    std::int32_t highest = 0;
    for (std::size_t i = 0; i < statistics_.Attempts.size(); ++i) {
        const AttemptPoint& point = statistics_.Attempts[i];
        const double x = static_cast<double>(i + 1);
        if (point.FinalTime) {
            finishedPoints.append(QPointF(x, *point.FinalTime));
            highest = std::max(highest, *point.FinalTime);
        } else {
            const std::int32_t at = std::max(point.LastTime.value_or(0), 0);
            endedPoints.append(QPointF(x, at));
            highest = std::max(highest, at);
        }
        if (point.PersonalBest && point.PersonalBest != shownBest) {
            if (shownBest) {
                bestPoints.append(QPointF(x, *shownBest));  // the step down
            }
            bestPoints.append(QPointF(x, *point.PersonalBest));
            shownBest = point.PersonalBest;
        }
    }
    if (shownBest) {
        bestPoints.append(QPointF(static_cast<double>(statistics_.Attempts.size()), *shownBest));
    }
    finished->replace(finishedPoints);
    ended->replace(endedPoints);
    best->replace(bestPoints);
    chart_->addSeries(ended);
    chart_->addSeries(finished);
    chart_->addSeries(best);

    auto* attempts = new QValueAxis;
    attempts->setTitleText(tr("Attempt"));
    attempts->setLabelFormat(QStringLiteral("%d"));
    attempts->setRange(0, std::max<double>(statistics_.Attempts.size(), 1) + 0.5);
    attempts->setTickType(QValueAxis::TicksDynamic);
    attempts->setTickAnchor(0);
    attempts->setTickInterval(AttemptStep(statistics_.Attempts.size()));
    attempts->setLabelsFont(small);
    attempts->setTitleFont(small);
    auto* times = new QCategoryAxis;
    times->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const std::int32_t step = TickStep(highest);
    const std::int32_t top = (highest / step + 1) * step;
    for (std::int32_t tick = 0; tick <= top; tick += step) {
        times->append(AxisTime(tick), tick);
    }
    times->setRange(0, top);
    times->setLabelsFont(small);
    chart_->addAxis(attempts, Qt::AlignBottom);
    chart_->addAxis(times, Qt::AlignLeft);
    for (QAbstractSeries* series : chart_->series()) {
        series->attachAxis(attempts);
        series->attachAxis(times);
    }

    // What a point is, under the pointer.
    const auto tell = [this](const QPointF& where, bool shown) {
        const auto i = static_cast<std::size_t>(where.x()) - 1;
        if (!shown || i >= statistics_.Attempts.size()) {
            QToolTip::hideText();
            return;
        }
        const AttemptPoint& point = statistics_.Attempts[i];
        QString what;
        if (point.FinalTime) {
            what = tr("finished in %1").arg(Time(point.FinalTime));
        } else {
            const std::size_t at = std::min(point.EndedAtSplit, statistics_.Splits.size() - 1);
            what = tr("%1 at %2")
                       .arg(FromStd(history::EndingText(point.End)),
                            statistics_.Splits.empty() ? QString()
                                                       : FromStd(statistics_.Splits[at].Name));
        }
        const std::string started = history::UtcText(point.StartedUtc);
        QToolTip::showText(QCursor::pos(),
                           tr("Attempt %1: %2").arg(point.Number).arg(what) +
                               (started.empty() ? QString()
                                                : QStringLiteral("\n") + FromStd(started) +
                                                      QStringLiteral(" UTC")));
    };
    connect(finished, &QScatterSeries::hovered, this, tell);
    connect(ended, &QScatterSeries::hovered, this, tell);
}

void StatisticsDialog::fillTable() {
    const QStringList headers = {tr("Split"),       tr("Best"),    tr("Average"),
                                 tr("Median"),      tr("Worst"),   tr("Latest"),
                                 tr("Sum of best"), tr("Reached"), tr("Ended here")};
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->horizontalHeaderItem(7)->setToolTip(tr("Attempts that got to this split"));
    table_->horizontalHeaderItem(8)->setToolTip(
        tr("Attempts that ended while this split was being run: where runs die"));
    table_->setRowCount(static_cast<int>(statistics_.Splits.size()));
    for (std::size_t row = 0; row < statistics_.Splits.size(); ++row) {
        const SplitFigures& split = statistics_.Splits[row];
        const QString sumOfBest = split.SumOfBest != 0 ? Time(split.SumOfBest) : QString();
        const QStringList cells = {
            FromStd(split.Name), Time(split.Best),     Time(split.Average),
            Time(split.Median),  Time(split.Worst),    Time(split.Latest),
            sumOfBest,           Count(split.Reached), Count(split.EndedHere)};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            table_->setItem(static_cast<int>(row), column, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void StatisticsDialog::saveAttempts() {
    if (saver_) {
        saver_(baseName_ + "-attempts.csv", history::AttemptsCsv(history_, statistics_));
    }
}

void StatisticsDialog::saveSplits() {
    if (saver_) {
        saver_(baseName_ + "-splits.csv", history::SplitsCsv(statistics_));
    }
}
