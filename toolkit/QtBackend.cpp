// The toolkit's Qt Widgets backend: one QWidget per model view, painting that view's labels;
// the window with its menu bar; timers, dialogs, the screen and the application loop.
#include "QtBackend.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "QtBackendInternal.h"
#include "Toolkit.h"
#include "ToolkitInternal.h"
#include "Zoom.h"

namespace tk {

namespace qtbackend {

// ---- Process-wide state ----

AppState& State() {
    static AppState state;
    return state;
}

std::optional<std::pair<Rect, Rect>>& ScreenOverride() {
    static std::optional<std::pair<Rect, Rect>> value;
    return value;
}

// ---- Conversions ----

QRect ToQRect(const Rect& r) {
    // Rounds the edges, not the size, so that neighbours stay neighbours.
    const long left = std::lround(r.x);
    const long top = std::lround(r.y);
    const long right = std::lround(r.MaxX());
    const long bottom = std::lround(r.MaxY());
    return {static_cast<int>(left), static_cast<int>(top),
            static_cast<int>(std::max(0L, right - left)),
            static_cast<int>(std::max(0L, bottom - top))};
}

Rect FromQRect(const QRect& r) {
    return {static_cast<double>(r.x()), static_cast<double>(r.y()), static_cast<double>(r.width()),
            static_cast<double>(r.height())};
}

// A rectangle in points as device-independent pixels at the zoom, or back with 1 / zoom.
Rect Scaled(const Rect& r, double zoom) {
    return {r.x * zoom, r.y * zoom, r.width * zoom, r.height * zoom};
}

QColor ToQColor(const Color& c) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha));
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The system font at a size in points, where a point is a device-independent pixel.
const QFont& FontFor(double points, bool bold) {
    static std::map<std::pair<long, bool>, QFont> cache;
    const long pixels = std::max(1L, std::lround(points));
    auto key = std::make_pair(pixels, bold);
    auto it = cache.find(key);
    if (it == cache.end()) {
        QFont font = QApplication::font();
        font.setPixelSize(static_cast<int>(pixels));
        font.setBold(bold);
        it = cache.emplace(key, font).first;
    }
    return it->second;
}

// The top-down geometry of the main screen on the desktop.
std::optional<Rect> MainScreenTopDown() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return std::nullopt;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return std::nullopt;
    }
    return FromQRect(screen->geometry());
}

Rect MainScreenTopDownOrDefault() {
    if (ScreenOverride()) {
        const Rect& f = ScreenOverride()->first;
        return {0, 0, f.width, f.height};
    }
    return MainScreenTopDown().value_or(Rect{0, 0, 1920, 1080});
}

}  // namespace qtbackend

using namespace qtbackend;

namespace {
long long g_labelsPainted = 0;
}  // namespace

namespace detail {

namespace {

// ---- Views on screen ----

class ViewPeer;

// Paints one model view: its background, then its labels that meet the exposed area.
class ViewWidget : public QWidget {
  public:
    ViewWidget(View& view, QWidget* parent) : QWidget(parent), view_(view) {
        setAttribute(Qt::WA_OpaquePaintEvent, false);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    static void PaintLabel(QPainter& painter, const Label& label, double height);
    View& view_;
};

// A scroll area whose vertical position is kept in the model.
class ScrollArea : public QScrollArea {
  public:
    ScrollArea(ScrollView& view, QWidget* parent) : QScrollArea(parent), view_(view) {
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setWidgetResizable(false);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The area's own bar stays hidden (it still takes the wheel); a narrow bar laid over
        // the right edge shows the position without narrowing the document.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->setAutoFillBackground(false);
        overlay_ = new QScrollBar(Qt::Vertical, this);
        overlay_->setFocusPolicy(Qt::NoFocus);
        overlay_->setStyleSheet(kOverlayStyle);
        overlay_->hide();
        QScrollBar* bar = verticalScrollBar();
        QObject::connect(bar, &QScrollBar::valueChanged, this, [this](int value) {
            overlay_->setValue(value);
            if (!applying) {
                ShowOverlayAWhile();
            }
            ScrolledOnScreen(value);
        });
        QObject::connect(bar, &QScrollBar::rangeChanged, this, [this](int low, int high) {
            overlay_->setRange(low, high);
            UpdateOverlay();
        });
        QObject::connect(overlay_, &QScrollBar::valueChanged, bar, &QScrollBar::setValue);
        hideOverlay_.setSingleShot(true);
        hideOverlay_.setInterval(kOverlayLinger);
        QObject::connect(&hideOverlay_, &QTimer::timeout, this, [this] { UpdateOverlay(); });
        WatchPointer(viewport());
        WatchPointer(overlay_);
    }
    bool applying = false;
    bool showsScroller = true;

    // The bar shows for kOverlayLinger after the pointer moves over the area or the runner
    // scrolls, and while it is held or the pointer rests on it; a pointer resting on the grid
    // and a scroll made by the program (the grid following the run) do not show it. Hidden,
    // it leaves the grid free to be moved on the screen by a scroll instead of being painted
    // again whole.
    void UpdateOverlay() {
        overlay_->setPageStep(verticalScrollBar()->pageStep());
        const bool wanted =
            hideOverlay_.isActive() || overlay_->isSliderDown() || overlay_->underMouse();
        overlay_->setVisible(showsScroller && wanted && verticalScrollBar()->maximum() > 0);
        overlay_->raise();
    }
    // The document scrolled in the area reports the pointer's moves too.
    void WatchPointer(QWidget* widget) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            ShowOverlayAWhile();
        }
        return QScrollArea::eventFilter(watched, event);
    }
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        overlay_->setGeometry(width() - kOverlayWidth, 0, kOverlayWidth, height());
    }
    void leaveEvent(QEvent* event) override {
        QScrollArea::leaveEvent(event);
        UpdateOverlay();
    }

  private:
    void ShowOverlayAWhile() {
        hideOverlay_.start();
        UpdateOverlay();
    }

    // A thin, see-through handle with no arrows and no groove.
    static constexpr int kOverlayWidth = 7;
    static constexpr int kOverlayLinger = 1000;  // ms
    static constexpr const char* kOverlayStyle =
        "QScrollBar:vertical { background: transparent; width: 7px; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(170, 170, 170, 130);"
        " border-radius: 3px; min-height: 24px; margin: 1px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";
    void ScrolledOnScreen(int value);
    ScrollView& view_;
    QScrollBar* overlay_ = nullptr;
    QTimer hideOverlay_;
};

class ViewPeer : public Peer {
  public:
    ViewPeer(View& view, QWidget* widget) : view_(view), widget_(widget) {}
    ~ViewPeer() override { delete widget_.data(); }

    QWidget* widget() const { return widget_.data(); }
    void Changed(Change what) override;
    void ApplyGeometry();
    void ApplyScroll();

  private:
    void Flush();

    View& view_;
    QPointer<QWidget> widget_;
    bool flushPending_ = false;
};

ViewPeer* ViewPeerOf(const View& view) {
    return static_cast<ViewPeer*>(Backend::PeerOf(view));
}

}  // namespace

// Builds the widgets of a view and of everything in it.
void CreateViewPeer(View& view, QWidget* parentWidget);

namespace {

void ViewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    Color background = view_.BackgroundColor();
    if (!background.IsVisible() && testAttribute(Qt::WA_OpaquePaintEvent)) {
        // A scrolled document covers what is under it: it paints the window's background.
        const Window* window = view_.GetWindow();
        background = window != nullptr ? window->BackgroundColor() : Color::White();
    }
    const double height = view_.Frame().height;
    const double zoom = Zoom();
    // Each rectangle of the region on its own: after a scroll the region is the row that came
    // into view and the rows that changed, far apart, and their bounding box most of the grid.
    for (const QRect& area : event->region()) {
        painter.setClipRect(area);
        if (background.IsVisible()) {
            painter.fillRect(area, ToQColor(background));
        }
        const Rect exposed = FlipRect(Scaled(FromQRect(area), 1 / zoom), height);
        view_.ForEachLabelIn(exposed, [&](Label& label) { PaintLabel(painter, label, height); });
    }
}

void ViewWidget::PaintLabel(QPainter& painter, const Label& label, double height) {
    if (label.Hidden()) {
        return;
    }
    ++g_labelsPainted;
    const double zoom = Zoom();
    const Rect frame = Scaled(FlipRect(label.Frame(), height), zoom);
    const QRectF box(frame.x, frame.y, frame.width, frame.height);
    if (label.DrawsBackground() && label.BackgroundColor().IsVisible()) {
        painter.fillRect(box, ToQColor(label.BackgroundColor()));
    }
    if (label.Bezeled()) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    if (label.Text().empty()) {
        return;
    }
    const QFont& font = FontFor(label.FontSize() * zoom, label.Bold());
    const QString text = ToQString(label.Text());
    const QRectF textBox = box.adjusted(2 * zoom, 0, -2 * zoom, 0);  // two points each side
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    // Text too wide for the frame shows its beginning, whatever the alignment.
    const bool fits = label.Alignment() == TextAlignment::kLeft ||
                      QFontMetricsF(font).horizontalAdvance(text) <= textBox.width();
    switch (fits ? label.Alignment() : TextAlignment::kLeft) {
        case TextAlignment::kLeft:
            flags |= Qt::AlignLeft;
            break;
        case TextAlignment::kRight:
            flags |= Qt::AlignRight;
            break;
        case TextAlignment::kCenter:
            flags |= Qt::AlignHCenter;
            break;
    }
    painter.setFont(font);
    painter.setPen(ToQColor(label.TextColor()));
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.drawText(textBox, flags, text);
    painter.restore();
}

bool ViewWidget::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const Rect spot = FlipRect(
        Rect{static_cast<double>(help->pos().x()), static_cast<double>(help->pos().y()), 1, 1},
        view_.Frame().height);
    QString tip;
    view_.ForEachLabelIn(spot, [&](Label& label) {
        if (label.Hidden() || !tip.isEmpty()) {
            return;
        }
        if (!label.ToolTip().empty()) {
            tip = ToQString(label.ToolTip());
            return;
        }
        // A cut text shows whole.
        const QFont& font = FontFor(label.FontSize(), label.Bold());
        const QString text = ToQString(label.Text());
        if (!text.isEmpty() &&
            QFontMetricsF(font).horizontalAdvance(text) > label.Frame().width - 4) {
            tip = text;
        }
    });
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

void ScrollArea::ScrolledOnScreen(int value) {
    if (applying || view_.DocumentView() == nullptr) {
        return;
    }
    const double maxY = std::max(0.0, view_.DocumentView()->Frame().height - view_.VisibleHeight());
    Backend::SetScrollFromScreen(view_, std::clamp(maxY - value / Zoom(), 0.0, maxY));
}

void ViewPeer::Changed(Change what) {
    if (widget_.isNull()) {
        return;
    }
    switch (what) {
        case Change::kDisplay:
            if (!flushPending_) {
                flushPending_ = true;
                // Once per pass of the main loop, however many labels changed.
                QMetaObject::invokeMethod(
                    widget_.data(), [this] { Flush(); }, Qt::QueuedConnection);
            }
            break;
        case Change::kFrame:
            ApplyGeometry();
            for (std::size_t i = 0; i < view_.SubviewCount(); ++i) {
                if (ViewPeer* child = ViewPeerOf(*view_.SubviewAt(i))) {
                    child->ApplyGeometry();
                }
            }
            ApplyScroll();
            if (auto* scroll = dynamic_cast<ScrollView*>(view_.Superview())) {
                if (ViewPeer* parent = ViewPeerOf(*scroll)) {
                    parent->ApplyScroll();
                }
            }
            break;
        case Change::kHidden:
            widget_->setVisible(!view_.Hidden());
            break;
        case Change::kBackground:
            widget_->update();
            break;
        case Change::kSubviews:
            for (std::size_t i = 0; i < view_.SubviewCount(); ++i) {
                View* child = view_.SubviewAt(i);
                if (Backend::PeerOf(*child) == nullptr) {
                    CreateViewPeer(*child, widget_.data());
                }
            }
            break;
        case Change::kScroll:
            ApplyScroll();
            break;
        case Change::kDocument:
            if (auto* scroll = dynamic_cast<ScrollView*>(&view_)) {
                View* document = scroll->DocumentView();
                if (document != nullptr && Backend::PeerOf(*document) == nullptr) {
                    CreateViewPeer(*document, nullptr);
                }
                ApplyScroll();
            }
            break;
        default:
            break;
    }
}

void ViewPeer::Flush() {
    flushPending_ = false;
    const double height = view_.Frame().height;
    const double zoom = Zoom();
    for (const Rect& r : view_.TakeDirtyRects()) {
        // A pixel more on each side: edges of a zoomed label may fall inside a pixel.
        widget_->update(ToQRect(Scaled(FlipRect(r, height), zoom)).adjusted(-1, -1, 1, 1));
    }
}

void ViewPeer::ApplyGeometry() {
    const Rect f = view_.Frame();
    const double zoom = Zoom();
    if (view_.GetWindow() != nullptr && view_.Superview() == nullptr) {
        widget_->setGeometry(
            ToQRect(Scaled({0, view_.GetWindow()->StripHeight(), f.width, f.height}, zoom)));
        return;
    }
    View* parent = view_.Superview();
    if (auto* scroll = dynamic_cast<ScrollView*>(parent);
        scroll != nullptr && scroll->DocumentView() == &view_) {
        const QRect r = ToQRect(Scaled({0, 0, f.width, f.height}, zoom));
        widget_->resize(r.size());
        return;
    }
    if (parent != nullptr) {
        widget_->setGeometry(ToQRect(Scaled(FlipRect(f, parent->Frame().height), zoom)));
    }
}

void ViewPeer::ApplyScroll() {
    auto* scroll = dynamic_cast<ScrollView*>(&view_);
    auto* area = dynamic_cast<ScrollArea*>(widget_.data());
    if (scroll == nullptr || area == nullptr) {
        return;
    }
    area->showsScroller = scroll->HasVerticalScroller();
    const View* document = scroll->DocumentView();
    if (document == nullptr) {
        area->UpdateOverlay();
        return;
    }
    const double zoom = Zoom();
    const double maxY = std::max(0.0, document->Frame().height - scroll->VisibleHeight());
    const long maxValue = std::lround(maxY * zoom);
    const long value = std::lround((maxY - scroll->ScrollPosition().y) * zoom);
    QScrollBar* bar = area->verticalScrollBar();
    area->applying = true;
    bar->setRange(0, static_cast<int>(maxValue));
    bar->setPageStep(static_cast<int>(std::lround(std::max(1.0, scroll->VisibleHeight() * zoom))));
    bar->setValue(static_cast<int>(value));
    area->applying = false;
    area->UpdateOverlay();
}

}  // namespace

void CreateViewPeer(View& view, QWidget* parentWidget) {
    QWidget* widget = nullptr;
    auto* scroll = dynamic_cast<ScrollView*>(&view);
    if (scroll != nullptr) {
        widget = new ScrollArea(*scroll, parentWidget);
    } else {
        widget = new ViewWidget(view, parentWidget);
    }
    Backend::AttachPeer(view, std::make_unique<ViewPeer>(view, widget));
    ViewPeer* peer = ViewPeerOf(view);
    if (scroll != nullptr) {
        if (View* document = scroll->DocumentView()) {
            CreateViewPeer(*document, nullptr);
        }
    } else {
        for (std::size_t i = 0; i < view.SubviewCount(); ++i) {
            CreateViewPeer(*view.SubviewAt(i), widget);
        }
    }
    if (auto* parentScroll = dynamic_cast<ScrollView*>(view.Superview());
        parentScroll != nullptr && parentScroll->DocumentView() == &view) {
        auto* area = dynamic_cast<ScrollArea*>(ViewPeerOf(*parentScroll)->widget());
        area->setWidget(widget);  // the area then owns the widget
        area->WatchPointer(widget);
        widget->setAutoFillBackground(false);
        // Opaque, so that a scroll moves what is on the screen and paints only the rows
        // that come into view.
        widget->setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    peer->ApplyGeometry();
    peer->ApplyScroll();
    widget->setVisible(!view.Hidden());
    // A new widget is painted whole when shown: what was dirty before is covered.
    view.TakeDirtyRects();
    Backend::OnScreen(view);
}

// ---- Menus on screen ----

namespace {

class MenuItemPeer : public Peer {
  public:
    MenuItemPeer(MenuItem& item, QAction* action) : item_(item), action_(action) {
        Sync();
        if (!item.IsSeparator() && item.Submenu() == nullptr) {
            QObject::connect(action, &QAction::triggered, action, [this] { Triggered(); });
        }
    }
    ~MenuItemPeer() override {
        if (!action_.isNull()) {
            action_->disconnect();
            action_->setVisible(false);
            action_->deleteLater();
        }
    }
    QAction* action() const { return action_.data(); }
    void Changed(Change) override { Sync(); }

  private:
    void Triggered() {
        QPointer<QAction> guard = action_;
        item_.Trigger();  // may destroy the item and this peer
        if (!guard.isNull()) {
            Sync();
        }
    }
    void Sync() {
        if (action_.isNull()) {
            return;
        }
        action_->setText(ToQString(item_.Title()));
        action_->setVisible(!item_.Hidden());
        action_->setEnabled(item_.Enabled());
        if (action_->isCheckable() != item_.Checkable()) {
            action_->setCheckable(item_.Checkable());
        }
        if (item_.Checkable()) {
            action_->setChecked(item_.State() != 0);
        }
        QList<QKeySequence> keys;
        for (const QString& key : ToQString(item_.KeyEquivalent()).split(QLatin1Char(';'))) {
            if (!key.isEmpty()) {
                keys.append(QKeySequence(key, QKeySequence::PortableText));
            }
        }
        if (action_->shortcuts() != keys) {
            action_->setShortcuts(keys);
        }
    }

    MenuItem& item_;
    QPointer<QAction> action_;
};

// A menu bar or a menu; adds actions for items that have none yet.
class MenuPeer : public Peer {
  public:
    MenuPeer(Menu& menu, QWidget* widget, QWidget* window)
        : menu_(menu), widget_(widget), window_(window) {
        AddMissingItems();
    }
    ~MenuPeer() override {
        if (qobject_cast<QMenu*>(widget_.data()) != nullptr) {
            delete widget_.data();
        }
    }
    void Changed(Change what) override {
        if (what == Change::kItems) {
            AddMissingItems();
        }
    }

  private:
    void AddMissingItems();

    Menu& menu_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> window_;
};

void MenuPeer::AddMissingItems() {
    if (widget_.isNull()) {
        return;
    }
    for (std::size_t i = 0; i < menu_.ItemCount(); ++i) {
        MenuItem& item = *menu_.ItemAt(i);
        if (Backend::PeerOf(item) != nullptr) {
            continue;
        }
        QAction* action = nullptr;
        if (item.IsSeparator()) {
            action = new QAction(widget_.data());
            action->setSeparator(true);
            widget_->addAction(action);
        } else if (Menu* submenu = item.Submenu()) {
            auto* qmenu = new QMenu(ToQString(item.Title()), widget_.data());
            if (auto* bar = qobject_cast<QMenuBar*>(widget_.data())) {
                bar->addMenu(qmenu);
            } else {
                static_cast<QMenu*>(widget_.data())->addMenu(qmenu);
            }
            action = qmenu->menuAction();
            Backend::AttachPeer(*submenu, std::make_unique<MenuPeer>(*submenu, qmenu, window_));
        } else {
            action = new QAction(widget_.data());
            widget_->addAction(action);
            // Also on the window itself, so the key equivalent works wherever the focus is.
            if (!window_.isNull()) {
                window_->addAction(action);
            }
        }
        Backend::AttachPeer(item, std::make_unique<MenuItemPeer>(item, action));
    }
}

// ---- Window on screen ----

class WindowWidget : public QWidget {
  public:
    explicit WindowWidget(Window& window) : window_(window) {
        setAttribute(Qt::WA_QuitOnClose, false);
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        FitMenuBar();
    }
    QMenuBar* menuBar() const { return menuBar_; }
    // The menu bar fills the window's top strip at the zoom; below 100 % its font shrinks
    // with it, so that it still fits the strip. Hidden, it takes no strip.
    void FitMenuBar() {
        const double zoom = Zoom();
        const int strip = static_cast<int>(std::lround(Window::kTitleBarHeight * zoom));
        menuBar_->setVisible(!window_.MenuBarHidden());
        menuBar_->setFixedHeight(strip);
        QFont font = QApplication::font(menuBar_);
        if (zoom < 1 && font.pointSizeF() > 0) {
            font.setPointSizeF(font.pointSizeF() * zoom);
        }
        menuBar_->setFont(font);
        menuBar_->setGeometry(0, 0, width(), strip);
    }
    bool applying = false;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), ToQColor(window_.BackgroundColor()));
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        menuBar_->setGeometry(0, 0, width(), menuBar_->height());
        FollowScreen();
    }
    void moveEvent(QMoveEvent* event) override {
        QWidget::moveEvent(event);
        FollowScreen();
    }
    // With the menu bar hidden, a right click anywhere on the window opens its menus.
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!window_.MenuBarHidden()) {
            QWidget::contextMenuEvent(event);
            return;
        }
        auto* menus = new QMenu(this);
        menus->setAttribute(Qt::WA_DeleteOnClose);
        menus->addActions(menuBar_->actions());
        menus->popup(event->globalPos());
    }
    void closeEvent(QCloseEvent* event) override {
        if (window_.IsVisible() && !window_.CloseRequested()) {
            event->ignore();
            return;
        }
        event->accept();
        if (window_.IsVisible()) {
            window_.Close();
        }
    }

  private:
    // The window manager moved or resized the window: the model follows.
    void FollowScreen() {
        if (applying) {
            return;
        }
        const double zoom = Zoom();
        const Rect screen = Scaled(
            ScreenRectFromTopDown(FromQRect(geometry()), MainScreenTopDownOrDefault()), 1 / zoom);
        const Rect current = Scaled(window_.Frame(), zoom);
        if (ToQRect(TopDownRectFromScreen(current, MainScreenTopDownOrDefault())) != geometry()) {
            Backend::WindowFrameFromScreen(window_, screen);
        }
    }

    Window& window_;
    QMenuBar* menuBar_;
};

class WindowPeer : public Peer {
  public:
    explicit WindowPeer(Window& window) : window_(window), widget_(new WindowWidget(window)) {}
    ~WindowPeer() override { delete widget_.data(); }
    WindowWidget* widget() const { return widget_.data(); }

    void Changed(Change what) override {
        if (widget_.isNull()) {
            return;
        }
        switch (what) {
            case Change::kFrame:
                ApplyGeometry();
                break;
            case Change::kDisplay:
                widget_->update();
                break;
            case Change::kTitle:
                widget_->setWindowTitle(ToQString(window_.Title()));
                break;
            case Change::kBackground:
                StyleMenuBar();
                widget_->update();
                // A scrolled document is opaque: it paints the window's background itself,
                // and Qt does not repaint it for its window.
                for (QScrollArea* area : widget_->findChildren<QScrollArea*>()) {
                    if (area->widget() != nullptr) {
                        area->widget()->update();
                    }
                }
                break;
            case Change::kHidden:
                widget_->setVisible(window_.IsVisible());
                break;
            case Change::kState:
                ApplyAlwaysOnTop();
                widget_->FitMenuBar();
                break;
            default:
                break;
        }
    }

    // Through the window manager: on X11 and on Wayland where the compositor allows it.
    void ApplyAlwaysOnTop() {
        const bool on = window_.AlwaysOnTop();
        if (widget_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) {
            return;
        }
        // Changing a flag hides a shown window; it is shown again in its place.
        const bool shown = widget_->isVisible();
        widget_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (shown) {
            widget_->show();
        }
    }

    // The menu bar takes the window's background, with light text on a dark one, so it reads
    // as the window's own top strip.
    void StyleMenuBar() {
        const Color back = window_.BackgroundColor();
        const double luminance = 0.2126 * back.red + 0.7152 * back.green + 0.0722 * back.blue;
        const QColor fill = ToQColor(back);
        const QColor text = luminance < 0.5 ? QColor(224, 224, 224) : QColor(20, 20, 20);
        const QColor hover = luminance < 0.5 ? QColor(255, 255, 255, 40) : QColor(0, 0, 0, 30);
        widget_->menuBar()->setStyleSheet(
            QStringLiteral("QMenuBar { background-color: %1; color: %2; }"
                           "QMenuBar::item { background: transparent; padding: 2px 8px; }"
                           "QMenuBar::item:selected { background-color: %3; }")
                .arg(fill.name(QColor::HexArgb), text.name(QColor::HexArgb),
                     hover.name(QColor::HexArgb)));
    }

    void ApplyGeometry() {
        widget_->applying = true;
        widget_->setGeometry(ToQRect(
            TopDownRectFromScreen(Scaled(window_.Frame(), Zoom()), MainScreenTopDownOrDefault())));
        widget_->FitMenuBar();
        widget_->applying = false;
    }

  private:
    Window& window_;
    QPointer<WindowWidget> widget_;
};

}  // namespace

// ---- Backend ----

std::vector<Window*>& Backend::Windows() {
    static std::vector<Window*> windows;
    return windows;
}

void Backend::ShowWindow(Window& window) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;  // shown by Application::Run once the application object exists
    }
    if (!window.peer_) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        auto peer = std::make_unique<WindowPeer>(window);
        WindowWidget* widget = peer->widget();
        window.peer_ = std::move(peer);
        for (Change c : {Change::kTitle, Change::kBackground, Change::kFrame, Change::kState}) {
            window.peer_->Changed(c);
        }
        CreateViewPeer(*window.content_, widget);
        window.menuBar_->peer_ =
            std::make_unique<MenuPeer>(*window.menuBar_, widget->menuBar(), widget);
    }
    window.peer_->Changed(Change::kHidden);
    if (window.IsVisible()) {
        // Key equivalents need the keyboard: ask for it (a window manager may refuse).
        QWidget* widget = qt::WidgetOf(window);
        widget->activateWindow();
    }
}

void Backend::WindowClosed(Window& window) {
    for (Window* other : Windows()) {
        if (other != &window && other->IsVisible()) {
            return;
        }
    }
    ApplicationDelegate* delegate = State().delegate;
    if (delegate != nullptr && delegate->ShouldTerminateAfterLastWindowClosed()) {
        Application::Terminate();
    }
}

void Backend::AttachPeer(View& view, std::unique_ptr<Peer> peer) {
    view.peer_ = std::move(peer);
}
void Backend::AttachPeer(Menu& menu, std::unique_ptr<Peer> peer) {
    menu.peer_ = std::move(peer);
}
void Backend::AttachPeer(MenuItem& item, std::unique_ptr<Peer> peer) {
    item.peer_ = std::move(peer);
}

namespace {
// Every view's widget takes its frame, scroll position and drawing at the new zoom.
void ApplyZoom(View& view) {
    if (auto* peer = ViewPeerOf(view)) {
        peer->ApplyGeometry();
        if (QWidget* widget = peer->widget()) {
            widget->update();
        }
    }
    for (std::size_t i = 0; i < view.SubviewCount(); ++i) {
        ApplyZoom(*view.SubviewAt(i));
    }
    if (auto* scroll = dynamic_cast<ScrollView*>(&view)) {
        if (View* document = scroll->DocumentView()) {
            ApplyZoom(*document);
        }
        if (auto* peer = ViewPeerOf(view)) {
            peer->ApplyScroll();
        }
    }
}
}  // namespace

void Backend::ZoomChanged() {
    for (Window* window : Windows()) {
        if (auto* peer = dynamic_cast<WindowPeer*>(window->peer_.get())) {
            peer->ApplyGeometry();
            peer->widget()->update();
        }
        ApplyZoom(*window->content_);
    }
}

void Backend::SetScrollFromScreen(ScrollView& view, double y) {
    view.scroll_ = {0, y};
}

void Backend::WindowFrameFromScreen(Window& window, const Rect& frame) {
    window.FrameChangedOnScreen(frame);
}

}  // namespace detail

}  // namespace tk

// ---- Accessors for tests ----

namespace tk::qt {

QWidget* WidgetOf(const Window& window) {
    auto* peer = dynamic_cast<detail::WindowPeer*>(detail::Backend::PeerOf(window));
    return peer != nullptr ? peer->widget() : nullptr;
}

QWidget* WidgetOf(const View& view) {
    auto* peer = dynamic_cast<detail::ViewPeer*>(detail::Backend::PeerOf(view));
    return peer != nullptr ? peer->widget() : nullptr;
}

QAction* ActionOf(const MenuItem& item) {
    auto* peer = dynamic_cast<detail::MenuItemPeer*>(detail::Backend::PeerOf(item));
    return peer != nullptr ? peer->action() : nullptr;
}

QScrollBar* VerticalScrollBarOf(const ScrollView& view) {
    auto* area = qobject_cast<QScrollArea*>(WidgetOf(view));
    return area != nullptr ? area->verticalScrollBar() : nullptr;
}

QRectF DrawnRectOf(const Label& label) {
    const double height = label.Parent() != nullptr ? label.Parent()->Frame().height : 0;
    const Rect r = Scaled(FlipRect(label.Frame(), height), Zoom());
    return {r.x, r.y, r.width, r.height};
}

long long LabelsPainted() {
    return g_labelsPainted;
}

}  // namespace tk::qt
