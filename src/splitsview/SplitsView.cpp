#include "SplitsView.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "QuorvelEngine.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QFont MakeFont(const FontChoice& choice, double zoom, bool bold) {
    QFont font;
    if (!choice.family.empty()) {
        font.setFamily(Q(choice.family));
    }
    font.setPixelSize(std::max(1, qRound(choice.points * zoom)));
    font.setBold(bold);
    return font;
}

// Words across lines no wider than width; a word wider than a line is broken where it must
// be, so nothing is ever cut. "" gives one empty line.
QStringList Wrap(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& s) { return metrics.horizontalAdvance(s) <= width; };
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) {
            lines << line;
        }
        line = word;
        while (!fits(line) && line.size() > 1) {
            qsizetype cut = line.size() - 1;
            while (cut > 1 && !fits(line.left(cut))) {
                --cut;
            }
            lines << line.left(cut);
            line = line.mid(cut);
        }
    }
    lines << line;
    return lines;
}

bool SameGeometry(const auto& a, const auto& b) {
    return a.width == b.width && a.height == b.height && a.header == b.header &&
           a.headerLines == b.headerLines && a.attempts == b.attempts && a.rows == b.rows &&
           a.pictureSide == b.pictureSide && a.nameLeft == b.nameLeft &&
           a.deltaLeft == b.deltaLeft && a.timeLeft == b.timeLeft && a.clock == b.clock &&
           a.caption == b.caption && a.summary == b.summary && a.compare == b.compare &&
           a.compareValue == b.compareValue && a.placeholder == b.placeholder;
}

}  // namespace

SplitsView::SplitsView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    SetAppearance(appearance_);
}

void SplitsView::SetAppearance(const Appearance& look) {
    appearance_ = look;
    listFont_ = MakeFont(look.listFont, zoom_, /*bold=*/false);
    clockFont_ = MakeFont(look.clockFont, zoom_, /*bold=*/true);
    Relayout();
}

void SplitsView::SetZoom(double zoom) {
    if (!(zoom > 0) || zoom == zoom_) {
        return;
    }
    zoom_ = zoom;
    SetAppearance(appearance_);
}

void SplitsView::SetOptions(const SplitsOptions& options) {
    options_ = options;
    Relayout();
}

void SplitsView::SetComparison(const ComparisonId& id) {
    comparisonId_ = id;
    comparison_ = ResolveComparison(Run(), comparisonId_, history_);
    Recompute();
}

void SplitsView::SetHistory(HistoryComparisons history) {
    history_ = std::move(history);
    comparison_ = ResolveComparison(Run(), comparisonId_, history_);
    Recompute();
}

void SplitsView::SetPlaceholderText(const QString& text) {
    placeholder_ = text;
    Relayout();
}

std::vector<ComparisonChoice> SplitsView::Choices() const {
    return ComparisonChoices(Run(), history_);
}

void SplitsView::Refresh(const QuorvelClass& engine) {
    const std::string file = Run().splitFile;
    screen_.Update(engine);
    if (Run().splitFile != file) {
        pictures_.Clear();
    }
    RouteChanged();
    Recompute();
}

void SplitsView::Tick(const QuorvelClass& engine) {
    screen_.Tick(engine);
    Recompute();
}

void SplitsView::RouteChanged() {
    const RunSnapshot& run = Run();
    groups_ = GroupSplits(run.names);
    comparison_ = ResolveComparison(run, comparisonId_, history_);
    largestOpenGroup_ = 0;
    for (const SplitGroup& group : groups_) {
        if (group.IsGroup()) {
            largestOpenGroup_ =
                std::max(largestOpenGroup_, static_cast<int>(group.last - group.first) + 1);
        }
    }
    longestTime_ = 0;
    for (const std::vector<std::int32_t>* times :
         {&run.current, static_cast<const std::vector<std::int32_t>*>(&comparison_.times)}) {
        for (const std::int32_t t : *times) {
            longestTime_ = std::max(longestTime_, t);
        }
    }
    hasPictures_ = std::any_of(run.pictures.begin(), run.pictures.end(),
                               [](const std::string& p) { return !p.empty(); });
}

int SplitsView::ReservedRows() const {
    const int visible = std::clamp(options_.visibleRows, kMinVisibleRows, kMaxVisibleRows);
    return std::min(visible, static_cast<int>(groups_.size()) + largestOpenGroup_);
}

void SplitsView::Relayout() {
    look_ = ComputeSplitsLook({Run(), comparison_, groups_, options_, history_.sumOfBest});
    geometry_ = Layout(width(), look_);
    updateGeometry();
    Repaint(rect());
}

void SplitsView::Recompute() {
    SplitsLook look =
        ComputeSplitsLook({Run(), comparison_, groups_, options_, history_.sumOfBest});
    if (look == look_) {
        return;
    }
    Geometry geometry = Layout(width(), look);
    // A look of other rows or summary lines than the last is drawn whole.
    if (!SameGeometry(geometry, geometry_) || look.rows.size() != look_.rows.size() ||
        look.summary.size() != look_.summary.size() || geometry.rows.size() < look.rows.size() ||
        geometry.summary.size() < look.summary.size()) {
        if (geometry.height != geometry_.height) {
            updateGeometry();
        }
        geometry_ = std::move(geometry);
        look_ = std::move(look);
        Repaint(rect());
        return;
    }
    if (look.description != look_.description || look.attempts != look_.attempts) {
        Repaint(geometry_.header);
    }
    for (std::size_t k = 0; k < look.rows.size(); ++k) {
        if (look.rows[k] != look_.rows[k]) {
            Repaint(geometry_.rows[k]);
        }
    }
    if (look.clock.time != look_.clock.time || look.clock.role != look_.clock.role) {
        Repaint(geometry_.clock);
    }
    if (look.clock != look_.clock) {
        Repaint(geometry_.caption);
    }
    for (std::size_t k = 0; k < look.summary.size(); ++k) {
        if (look.summary[k] != look_.summary[k]) {
            Repaint(geometry_.summary[k]);
        }
    }
    if (look.comparison != look_.comparison) {
        Repaint(geometry_.compare);
    }
    look_ = std::move(look);
}

void SplitsView::Repaint(const QRect& rect) {
    repainted_.push_back(rect);
    update(rect);
}

std::vector<QRect> SplitsView::TakeRepaintedRects() {
    return std::exchange(repainted_, {});
}

SplitsView::Geometry SplitsView::Layout(int width, const SplitsLook& look) const {
    const auto px = [this](double points) { return qRound(points * zoom_); };
    const QFontMetrics list(listFont_);
    const QFontMetrics clock(clockFont_);
    const int margin = px(6);
    const int gap = px(6);
    const int lineHeight = list.height() + px(4);
    const int rowHeight = list.height() + px(6);
    Geometry g;
    g.width = width;

    const int attemptsWidth = list.horizontalAdvance(Q(look.attempts));
    g.headerLines =
        Wrap(Q(look.description), list, std::max(1, width - 2 * margin - attemptsWidth - gap));
    g.header = QRect(0, 0, width,
                     margin + static_cast<int>(g.headerLines.size()) * list.lineSpacing() + px(4));
    g.attempts = QRect(width - margin - attemptsWidth, margin, attemptsWidth, list.height());
    int y = g.header.bottom() + 1;

    if (look.hasRoute) {
        for (std::size_t k = 0; k < look.rows.size(); ++k) {
            g.rows.emplace_back(0, y + static_cast<int>(k) * rowHeight, width, rowHeight);
        }
        y += ReservedRows() * rowHeight;
    } else {
        const QStringList lines = Wrap(placeholder_, list, std::max(1, width - 2 * margin));
        g.placeholder = QRect(margin, y + px(4), width - 2 * margin,
                              static_cast<int>(lines.size()) * list.lineSpacing());
        y = g.placeholder.bottom() + 1 + px(4);
    }
    g.timeWidth = std::max(list.horizontalAdvance(Q(TimeText(longestTime_, 2))),
                           list.horizontalAdvance(QStringLiteral("88.88")));
    g.deltaWidth = list.horizontalAdvance(QStringLiteral("\u221288.88"));
    for (const RowLook& row : look.rows) {
        g.deltaWidth = std::max(g.deltaWidth, list.horizontalAdvance(Q(row.delta.text)));
    }
    g.timeLeft = width - margin - g.timeWidth;
    g.deltaLeft = g.timeLeft - gap - g.deltaWidth;
    g.pictureSide = hasPictures_ ? rowHeight - px(4) : 0;
    g.nameLeft = margin + (g.pictureSide > 0 ? g.pictureSide + gap : 0);
    g.indent = px(10);

    y += px(4);
    g.clock = QRect(0, y, width, clock.ascent() + clock.descent());
    y = g.clock.bottom() + 1;
    if (look.hasRoute) {
        g.caption = QRect(0, y, width, lineHeight);
        y = g.caption.bottom() + 1;
        for (std::size_t k = 0; k < look.summary.size(); ++k) {
            g.summary.emplace_back(0, y, width, lineHeight);
            y += lineHeight;
        }
        g.compare = QRect(0, y, width, lineHeight);
        const int nameWidth = list.horizontalAdvance(Q(look.comparison));
        g.compareValue = QRect(width - margin - nameWidth, y, nameWidth, lineHeight);
        y = g.compare.bottom() + 1;
    }
    g.height = y + margin;
    return g;
}

QSize SplitsView::minimumSizeHint() const {
    const QFontMetrics list(listFont_);
    const QFontMetrics clock(clockFont_);
    const int margin = qRound(6 * zoom_);
    const int gap = qRound(6 * zoom_);
    int width = list.horizontalAdvance(Q(look_.attempts)) + gap +
                list.horizontalAdvance(QStringLiteral("MMMM"));
    width = std::max(width, clock.horizontalAdvance(Q(look_.clock.time)));
    for (const SummaryLook& line : look_.summary) {
        width = std::max(width, list.horizontalAdvance(Q(line.title)) + gap +
                                    list.horizontalAdvance(QStringLiteral("8:88:88.88")));
    }
    width = std::max(width, list.horizontalAdvance(QStringLiteral("Compare Against")) + gap +
                                list.horizontalAdvance(Q(look_.comparison)));
    width += 2 * margin;
    return {width, heightForWidth(width)};
}

QSize SplitsView::sizeHint() const {
    const QFontMetrics list(listFont_);
    const Geometry g = Layout(1000, look_);
    const int columns = (1000 - g.deltaLeft) + g.nameLeft + list.averageCharWidth() * 22;
    const int width = std::max(minimumSizeHint().width(), columns);
    return {width, heightForWidth(width)};
}

int SplitsView::heightForWidth(int width) const {
    return Layout(width, look_).height;
}

void SplitsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    geometry_ = Layout(width(), look_);
}

QColor SplitsView::Colour(ColourRole role) const {
    const Rgb c = appearance_.Colour(role);
    return {c.red, c.green, c.blue};
}

void SplitsView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRegion& region = event->region();
    for (const QRect& r : region) {  // not their bounding box: most of the view after a split
        painter.fillRect(r, Colour(ColourRole::kBackground));
    }
    painter.setFont(listFont_);
    const QColor text = Colour(ColourRole::kText);
    const int margin = qRound(6 * zoom_);
    const QFontMetrics list(listFont_);

    if (region.intersects(geometry_.header)) {
        painter.setPen(text);
        int y = margin;
        for (const QString& line : geometry_.headerLines) {
            painter.drawText(QRect(margin, y, geometry_.width, list.height()), Qt::AlignLeft, line);
            y += list.lineSpacing();
        }
        painter.drawText(geometry_.attempts, Qt::AlignRight, Q(look_.attempts));
    }
    for (std::size_t k = 0; k < look_.rows.size() && k < geometry_.rows.size(); ++k) {
        if (region.intersects(geometry_.rows[k])) {
            PaintRow(painter, look_.rows[k], geometry_.rows[k]);
        }
    }
    if (!look_.hasRoute && region.intersects(geometry_.placeholder)) {
        painter.setPen(text);
        const QStringList lines = Wrap(placeholder_, list, geometry_.placeholder.width());
        int y = geometry_.placeholder.top();
        for (const QString& line : lines) {
            painter.drawText(QRect(margin, y, geometry_.placeholder.width(), list.height()),
                             Qt::AlignLeft, line);
            y += list.lineSpacing();
        }
    }
    if (region.intersects(geometry_.clock)) {
        PaintClock(painter);
    }
    if (!look_.hasRoute) {
        return;
    }
    const ClockLook& clock = look_.clock;
    const QRect inner = geometry_.caption.adjusted(margin, 0, -margin, 0);
    if (region.intersects(geometry_.caption)) {
        painter.setPen(Colour(clock.captionRole));
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, Q(clock.caption));
        const QString value = Q(clock.comparisonSegment);
        const int room = inner.width() - list.horizontalAdvance(Q(clock.caption)) -
                         list.horizontalAdvance(QStringLiteral("  ") + value);
        const QString title =
            list.elidedText(Q(clock.comparisonTitle), Qt::ElideRight, std::max(0, room));
        painter.setPen(text);
        painter.drawText(inner, Qt::AlignRight | Qt::AlignVCenter,
                         title.isEmpty() ? value : title + QLatin1Char(' ') + value);
    }
    for (std::size_t k = 0; k < look_.summary.size() && k < geometry_.summary.size(); ++k) {
        const QRect r = geometry_.summary[k].adjusted(margin, 0, -margin, 0);
        if (!region.intersects(geometry_.summary[k])) {
            continue;
        }
        painter.setPen(text);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, Q(look_.summary[k].title));
        painter.setPen(Colour(look_.summary[k].role));
        painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter, Q(look_.summary[k].value));
    }
    if (region.intersects(geometry_.compare)) {
        const QRect r = geometry_.compare.adjusted(margin, 0, -margin, 0);
        painter.setPen(text);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Compare Against"));
        QFont underlined = listFont_;
        underlined.setUnderline(true);
        painter.setFont(underlined);
        painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter, Q(look_.comparison));
        painter.setFont(listFont_);
    }
}

void SplitsView::PaintRow(QPainter& painter, const RowLook& row, const QRect& rect) {
    const Geometry& g = geometry_;
    const int gap = qRound(6 * zoom_);
    if (row.current) {
        painter.fillRect(rect, Colour(ColourRole::kHighlight));
    }
    QColor text = Colour(ColourRole::kText);
    if (row.afterGap) {
        QColor line = text;
        line.setAlphaF(0.4f);
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), std::max(1, qRound(zoom_))),
                         line);
    }
    int x = g.nameLeft + (row.indented ? g.indent : 0);
    if (g.pictureSide > 0 && !row.picture.empty()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap picture =
            pictures_.Get(Run().splitFile, row.picture, qRound(g.pictureSide * ratio));
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(ratio);
            const QSizeF size = picture.deviceIndependentSize();
            painter.drawPixmap(QPointF(qRound(6 * zoom_) + (g.pictureSide - size.width()) / 2,
                                       rect.top() + (rect.height() - size.height()) / 2),
                               picture);
        }
    }
    const int nameRight = (row.delta.text.empty() ? g.timeLeft : g.deltaLeft) - gap;
    QFont nameFont = listFont_;
    nameFont.setBold(row.heading);
    painter.setFont(nameFont);
    painter.setPen(text);
    const QRect nameRect(x, rect.top(), std::max(0, nameRight - x), rect.height());
    painter.drawText(
        nameRect, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(nameFont).elidedText(Q(row.name), Qt::ElideRight, nameRect.width()));
    painter.setFont(listFont_);
    if (!row.delta.text.empty()) {
        painter.setPen(Colour(row.delta.role));
        painter.drawText(QRect(g.deltaLeft, rect.top(), g.deltaWidth, rect.height()),
                         Qt::AlignRight | Qt::AlignVCenter, Q(row.delta.text));
    }
    painter.setPen(text);
    painter.drawText(QRect(g.timeLeft, rect.top(), g.timeWidth, rect.height()),
                     Qt::AlignRight | Qt::AlignVCenter, Q(row.time));
}

// The clock's digits each take the width of the widest digit, so the time does not shift
// sideways as it counts.
void SplitsView::PaintClock(QPainter& painter) {
    const QFontMetrics metrics(clockFont_);
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) {
        digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    }
    painter.setFont(clockFont_);
    painter.setPen(Colour(look_.clock.role));
    const QString time = Q(look_.clock.time);
    int right = geometry_.width - qRound(6 * zoom_);
    const int baseline = geometry_.clock.top() + metrics.ascent();
    for (qsizetype i = time.size() - 1; i >= 0; --i) {
        const QChar c = time[i];
        const int cell = c.isDigit() ? digit : metrics.horizontalAdvance(c);
        right -= cell;
        painter.drawText(QPoint(right + (cell - metrics.horizontalAdvance(c)) / 2, baseline),
                         QString(c));
    }
    painter.setFont(listFont_);
}

void SplitsView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && look_.hasRoute &&
        geometry_.compareValue.contains(event->position().toPoint()) && comparisonClicked_) {
        comparisonClicked_(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

void SplitsView::mouseMoveEvent(QMouseEvent* event) {
    const bool over =
        look_.hasRoute && geometry_.compareValue.contains(event->position().toPoint());
    if (over != (cursor().shape() == Qt::PointingHandCursor)) {
        if (over) {
            setCursor(Qt::PointingHandCursor);
        } else {
            unsetCursor();
        }
    }
    QWidget::mouseMoveEvent(event);
}

bool SplitsView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    for (std::size_t k = 0; k < geometry_.rows.size() && k < look_.rows.size(); ++k) {
        if (geometry_.rows[k].contains(help->pos())) {
            QToolTip::showText(help->globalPos(), Q(look_.rows[k].name), this);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
