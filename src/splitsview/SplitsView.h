// The Splits view: the route as runners of other timers read it, a list of splits with
// their differences against a comparison of the runner's choice, a large clock, and summary
// lines under it (SplitsLook.h shows the picture). A QWidget that paints itself: it draws
// only what changed, so a tick repaints the clock and the lines that follow it, and a split
// the rows that moved.
//
// The shell owns it and tells it everything; it reads the engine only when told to:
//   auto* view = new SplitsView(parent);
//   view->SetAppearance(look);  view->SetZoom(tk::Zoom());  view->SetOptions(options);
//   view->SetComparison(id);    view->SetHistory(history);  // the history library's times
//   view->Refresh(*TimerData);  // after every command, file opened, edit, option toggled
//   view->Tick(*TimerData);     // on every tick of the clock
//   view->SetComparisonClickHandler([&](QPoint at) { /* the Compare Against menu at `at` */ });
// A finished run stays on screen until Reset or the next start, also when the engine has kept
// it and emptied its current run (RunOnScreen).
//
// Sizes are in points, drawn at the zoom: a 10-point list font is 20 pixels tall at 200 %.
// The widget's height follows its contents (heightForWidth): the header wraps to as many
// lines as the description needs, and the list keeps the same height through a run.
#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "Appearance.h"
#include "Comparisons.h"
#include "PictureCache.h"
#include "RunSnapshot.h"
#include "SplitsLook.h"

class QuorvelClass;

class SplitsView : public QWidget {
  public:
    explicit SplitsView(QWidget* parent = nullptr);

    void SetAppearance(const Appearance& look);
    void SetZoom(double zoom);
    void SetOptions(const SplitsOptions& options);
    void SetComparison(const ComparisonId& id);
    // The history's comparisons and sum of best for the route as it is now.
    void SetHistory(HistoryComparisons history);
    // Shown in place of the list while no split file is open.
    void SetPlaceholderText(const QString& text);
    // A click on the comparison's name, with the point clicked on the screen.
    void SetComparisonClickHandler(std::function<void(const QPoint&)> handler) {
        comparisonClicked_ = std::move(handler);
    }

    // Reads the engine's route and run again.
    void Refresh(const QuorvelClass& engine);
    // Reads the engine's clock only.
    void Tick(const QuorvelClass& engine);

    const SplitsLook& Look() const { return look_; }
    const RunSnapshot& Run() const { return screen_.Run(); }
    const Appearance& CurrentAppearance() const { return appearance_; }
    // The Compare Against menu for this route.
    std::vector<ComparisonChoice> Choices() const;
    ComparisonId Comparison() const { return comparisonId_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // For tests and the benchmark: where things are drawn, in the widget's pixels.
    QRect ClockRect() const { return geometry_.clock; }
    QRect ComparisonNameRect() const { return geometry_.compareValue; }
    QRect HeaderRect() const { return geometry_.header; }
    const std::vector<QRect>& RowRects() const { return geometry_.rows; }
    // The description as drawn, line by line.
    const QStringList& HeaderLines() const { return geometry_.headerLines; }
    // Every rectangle marked for repainting since the last call.
    std::vector<QRect> TakeRepaintedRects();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Geometry {
        int width = 0;
        int height = 0;
        QRect header;
        QStringList headerLines;
        QRect attempts;
        std::vector<QRect> rows;  // one per row in view
        int pictureSide = 0;
        int nameLeft = 0;
        int deltaLeft = 0;
        int deltaWidth = 0;
        int timeLeft = 0;
        int timeWidth = 0;
        int indent = 0;
        QRect placeholder;
        QRect clock;
        QRect caption;
        std::vector<QRect> summary;
        QRect compare;
        QRect compareValue;
    };

    // The route changed: its groups, comparison and column sizes are worked out again.
    void RouteChanged();
    // Works the look out again and marks what changed for repainting.
    void Recompute();
    Geometry Layout(int width, const SplitsLook& look) const;
    int ReservedRows() const;
    void Relayout();
    void Repaint(const QRect& rect);
    void PaintRow(class QPainter& painter, const RowLook& row, const QRect& rect);
    void PaintClock(class QPainter& painter);
    QColor Colour(ColourRole role) const;

    Appearance appearance_ = Appearance::Preset(AppearancePreset::kDefault);
    double zoom_ = 1;
    SplitsOptions options_;
    ComparisonId comparisonId_;
    HistoryComparisons history_;
    QString placeholder_;
    std::function<void(const QPoint&)> comparisonClicked_;

    RunOnScreen screen_;
    std::vector<SplitGroup> groups_;
    ComparisonTimes comparison_;
    int largestOpenGroup_ = 0;  // rows a group adds while it is open
    std::int32_t longestTime_ = 0;
    bool hasPictures_ = false;

    SplitsLook look_;
    Geometry geometry_;
    QFont listFont_;
    QFont clockFont_;
    PictureCache pictures_;
    std::vector<QRect> repainted_;
};
