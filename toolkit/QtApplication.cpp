// The Qt backend's application side: the main screen's geometry, the repeating timer, and
// the application's run loop with its launch and quit notifications to the delegate. The views,
// menus and window live in QtBackend.cpp.
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

#include <xcb/xcb.h>

#include "QtBackendInternal.h"
#include "Toolkit.h"
#include "ToolkitInternal.h"
#include "Zoom.h"

namespace tk {

using namespace qtbackend;

// ---- Screen ----

Rect Screen::MainFrame() {
    const double toPoints = 1 / Zoom();
    if (ScreenOverride()) {
        return Scaled(ScreenOverride()->first, toPoints);
    }
    const Rect topDown = MainScreenTopDownOrDefault();
    return Scaled({0, 0, topDown.width, topDown.height}, toPoints);
}

Rect Screen::MainVisibleFrame() {
    const double toPoints = 1 / Zoom();
    if (ScreenOverride()) {
        return Scaled(ScreenOverride()->second, toPoints);
    }
    const std::optional<Rect> topDown = MainScreenTopDown();
    if (!topDown) {
        return MainFrame();
    }
    return Scaled(ScreenRectFromTopDown(
                      FromQRect(QGuiApplication::primaryScreen()->availableGeometry()), *topDown),
                  toPoints);
}

Rect Screen::MainVisiblePixels() {
    return Scaled(MainVisibleFrame(), Zoom());
}

void Screen::OverrideMain(const Rect& frame, const Rect& visibleFrame) {
    ScreenOverride() = std::make_pair(frame, visibleFrame);
}

void Screen::ClearOverride() {
    ScreenOverride().reset();
}

// ---- Repeating timer ----

struct RepeatingTimer::Impl {
    std::unique_ptr<QTimer> timer;
};

RepeatingTimer::RepeatingTimer(double intervalSeconds, std::function<void()> callback)
    : interval_(intervalSeconds), callback_(std::move(callback)), impl_(std::make_unique<Impl>()) {}

RepeatingTimer::~RepeatingTimer() {
    auto& pending = State().pendingTimers;
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
    if (impl_->timer) {
        impl_->timer->stop();
        impl_->timer->disconnect();
        // The timer may be the one whose tick is running this destructor.
        impl_->timer.release()->deleteLater();
    }
}

std::unique_ptr<RepeatingTimer> RepeatingTimer::Schedule(double intervalSeconds,
                                                         std::function<void()> callback) {
    auto timer = std::make_unique<RepeatingTimer>(intervalSeconds, std::move(callback));
    timer->Start();
    return timer;
}

void RepeatingTimer::Start() {
    active_ = true;
    if (QCoreApplication::instance() == nullptr) {
        auto& pending = State().pendingTimers;
        if (std::find(pending.begin(), pending.end(), this) == pending.end()) {
            pending.push_back(this);
        }
        return;
    }
    if (!impl_->timer) {
        impl_->timer = std::make_unique<QTimer>();
        // Coarse: a tick may come up to 5% late, so the system can bundle wake-ups.
        impl_->timer->setTimerType(Qt::CoarseTimer);
        QObject::connect(impl_->timer.get(), &QTimer::timeout, [this] { Fire(); });
    }
    const double ms = std::isfinite(interval_) ? interval_ * 1000.0 : 1000.0;
    impl_->timer->start(static_cast<int>(std::clamp(std::lround(ms), 1L, 86'400'000L)));
}

void RepeatingTimer::Stop() {
    active_ = false;
    auto& pending = State().pendingTimers;
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
    if (impl_->timer) {
        impl_->timer->stop();
    }
}

void RepeatingTimer::Fire() {
    if (callback_) {
        // A copy: the callback may destroy this timer, and itself with it.
        auto callback = callback_;
        callback();
    }
}

// ---- After the next paint ----

// A change reaches the screen in two passes of the main loop: the views take their labels'
// changes in a queued call of normal priority (ViewPeer::Flush), which asks Qt for a repaint,
// and Qt delivers the repaint as a posted event of low priority. The callback is posted behind
// both: two hops at normal priority (the second one queued after any view's flush that the
// change asked for, wherever Post came in the command), then one at low priority, which Qt
// delivers after the repaints queued before it.
class AfterPaintReceiver : public QObject {
  public:
    explicit AfterPaintReceiver(std::function<void(int)> hop) : hop_(std::move(hop)) {}
    bool event(QEvent* event) override {
        if (event->type() != kHopEvent) {
            return QObject::event(event);
        }
        hop_(static_cast<const HopEvent*>(event)->Hop);
        return true;
    }
    struct HopEvent : QEvent {
        explicit HopEvent(int hop) : QEvent(kHopEvent), Hop(hop) {}
        int Hop;
    };
    static inline const auto kHopEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

  private:
    std::function<void(int)> hop_;
};

struct AfterPaint::Impl {
    std::unique_ptr<AfterPaintReceiver> receiver;
    bool posted = false;
    void PostHop(int hop) {
        QCoreApplication::postEvent(receiver.get(), new AfterPaintReceiver::HopEvent(hop),
                                    hop < 2 ? Qt::NormalEventPriority : Qt::LowEventPriority);
    }
};

AfterPaint::AfterPaint(std::function<void()> callback)
    : callback_(std::move(callback)), impl_(std::make_unique<Impl>()) {}

AfterPaint::~AfterPaint() = default;

void AfterPaint::Post() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    pending_ = true;
    if (impl_->posted) {
        return;  // on its way: a window has one repaint waiting, which draws every change
    }
    if (!impl_->receiver) {
        impl_->receiver = std::make_unique<AfterPaintReceiver>([this](int hop) {
            if (hop < 2) {
                impl_->PostHop(hop + 1);
            } else {
                Run();
            }
        });
    }
    impl_->posted = true;
    impl_->PostHop(0);
}

void AfterPaint::Run() {
    impl_->posted = false;
    if (!pending_) {
        return;  // cancelled
    }
    pending_ = false;
    // The frame goes to the X server now, not when the main loop next waits: the callback
    // (a save with its syncs) must not hold it up.
    if (qGuiApp != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
            x11 != nullptr && x11->connection() != nullptr) {
            xcb_flush(x11->connection());
        }
    }
    if (callback_) {
        callback_();
    }
}

// ---- Application ----

int Application::Run(int argc, char** argv, ApplicationDelegate& delegate) {
    AppState& state = State();
    state.delegate = &delegate;
    state.terminated = false;
    if (QCoreApplication::instance() == nullptr) {
        // Kept for the life of the process: widgets may outlive Run.
        static int savedArgc = argc;
        new QApplication(savedArgc, argv);
    }
    QGuiApplication::setQuitOnLastWindowClosed(false);
    delegate.WillFinishLaunching();
    delegate.DidFinishLaunching();
    for (Window* window : detail::Backend::Windows()) {
        if (window->IsVisible()) {
            detail::Backend::ShowWindow(*window);
        }
    }
    std::vector<RepeatingTimer*> pending;
    pending.swap(state.pendingTimers);
    for (RepeatingTimer* timer : pending) {
        timer->Start();
    }
    if (state.terminated) {
        return 0;
    }
    // A loop of our own rather than QCoreApplication::exec, which leaves the application
    // object closing for good: Run can be entered again in the same process.
    QEventLoop loop;
    state.loop = &loop;
    state.running = true;
    const int code = loop.exec();
    state.running = false;
    state.loop = nullptr;
    Terminate();  // a way out that was not ours (the session ending) still tells the delegate
    return code;
}

void Application::Terminate() {
    AppState& state = State();
    if (!state.terminated) {
        state.terminated = true;
        if (state.delegate != nullptr) {
            state.delegate->WillTerminate();
        }
    }
    if (state.loop != nullptr) {
        state.loop->exit(0);
    }
}

bool Application::IsRunning() {
    return State().running;
}
bool Application::HasTerminated() {
    return State().terminated;
}
ApplicationDelegate* Application::Delegate() {
    return State().delegate;
}

void Application::SetDelegate(ApplicationDelegate* delegate) {
    State().delegate = delegate;
    State().terminated = false;
}

}  // namespace tk
