// The portal path against a fake org.freedesktop.portal.Desktop on a private session bus, set
// before Qt keeps its first; the fake answers from a thread, as the hotkeys' calls block.
#include <gtest/gtest.h>

#include <atomic>

#include <QtDBus>  // and QtCore

#include "GlobalHotkeys.h"
#include "Harness.h"
#include "ParsedHotkey.h"
#include "QtEvents.h"

namespace {

std::string busAddress;  // "" when dbus-daemon is missing

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// One entry of the a(sa{sv}) lists of shortcuts, as the fake portal sends them back.
struct WireShortcut {
    QString Id;
    QVariantMap Properties;
};

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const WireShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.Id << shortcut.Properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, WireShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.Id >> shortcut.Properties;
    argument.endStructure();
    return argument;
}

Q_DECLARE_METATYPE(WireShortcut)

namespace {

using Shortcuts = std::vector<std::string>;  // "hotkey1 Split KP_1": id, description, trigger

Shortcuts Read(const QVariant& value) {
    Shortcuts shortcuts;
    for (const WireShortcut& s : qdbus_cast<QList<WireShortcut>>(value)) {
        shortcuts.push_back((s.Id + ' ' + s.Properties.value("description").toString() + ' ' +
                             s.Properties.value("preferred_trigger").toString())
                                .toStdString());
    }
    return shortcuts;
}

class FakePortal : public QDBusVirtualObject {
  public:
    struct State {  // what the fake has seen, under the lock
        std::vector<Shortcuts> SessionShortcuts, BindCalls;  // CreateSession's, BindShortcuts'
        std::vector<std::string> ClosedSessions;
        std::string BoundSession;  // of the last BindShortcuts
    };
    State Seen() {
        QMutexLocker locker(&mutex_);
        return state_;
    }
    // bindsFromSession: like an older desktop, it registers what CreateSession's options carry
    // and answers BindShortcuts with an empty list; else it binds and lists BindShortcuts' list.
    std::atomic<bool> refuseSessions = false, bindsFromSession = false;

    QString introspect(const QString& /*path*/) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QMutexLocker locker(&mutex_);
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        QVariantMap results;
        if (member == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
        } else if (member == QLatin1String("CreateSession")) {
            const auto options = qdbus_cast<QVariantMap>(args.value(0));
            state_.SessionShortcuts.push_back(Read(options.value("shortcuts")));
            results.insert("session_handle", "/org/freedesktop/portal/desktop/session/1_2/" +
                                                 options.value("session_handle_token").toString());
            Answer(message, connection, options, refuseSessions ? 1u : 0u, results);
        } else if (member == QLatin1String("BindShortcuts")) {
            state_.BoundSession = args.value(0).value<QDBusObjectPath>().path().toStdString();
            state_.BindCalls.push_back(Read(args.value(1)));
            results.insert("shortcuts",
                           QVariant::fromValue(
                               bindsFromSession ? QList<WireShortcut>()
                                                : qdbus_cast<QList<WireShortcut>>(args.value(1))));
            Answer(message, connection, qdbus_cast<QVariantMap>(args.value(3)), 0u, results);
        } else if (member == QLatin1String("Close")) {
            state_.ClosedSessions.push_back(message.path().toStdString());
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

  private:
    // Replies with the request's path, then answers through the request's Response signal.
    static void Answer(const QDBusMessage& message, const QDBusConnection& connection,
                       const QVariantMap& options, uint response, const QVariantMap& results) {
        const QString request = QString::fromStdString(hotkeys::detail::PortalRequestPath(
            message.service().toStdString(),
            options.value("handle_token").toString().toStdString()));
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage signal = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
    }

    QMutex mutex_;
    State state_;
};

class PortalHotkeys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (busAddress.empty()) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        qDBusRegisterMetaType<WireShortcut>();
        qDBusRegisterMetaType<QList<WireShortcut>>();
        thread_.start();
        portal_.moveToThread(&thread_);
        connection_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(busAddress), "fake-portal"));
        // Registered from the portal's thread, where the connection keeps its helpers for it.
        bool registered = false;
        QMetaObject::invokeMethod(
            &portal_,
            [this, &registered] {
                registered = connection_->registerVirtualObject(kDesktopPath, &portal_,
                                                                QDBusConnection::SubPath);
            },
            Qt::BlockingQueuedConnection);
        ASSERT_TRUE(registered && connection_->registerService(kService));
        hotkeys_ = std::make_unique<hotkeys::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }
    void TearDown() override {
        hotkeys_.reset();
        connection_.reset();  // its name and objects go with it
        QDBusConnection::disconnectFromBus("fake-portal");
        thread_.quit();
        thread_.wait();
    }

    // Sends the portal's Activated signal, as the desktop does when a shortcut is pressed.
    void Activate(const std::string& session, const char* shortcut, qulonglong timestamp) {
        QDBusMessage signal =
            QDBusMessage::createSignal(kDesktopPath, kShortcuts, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(QString::fromStdString(session)))
               << QString::fromLatin1(shortcut) << timestamp << QVariantMap();
        connection_->send(signal);
    }
    // A call from the hotkeys' own bus connection to the portal: the signals sent before it
    // have arrived once it returns, and are delivered by the event loop.
    void RoundTrip() {
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(kService, kDesktopPath, kShortcuts, "Get"));
        QCoreApplication::processEvents();
    }
    bool BindCalls(std::size_t n) {
        return ProcessEventsUntil([&] { return portal_.Seen().BindCalls.size() == n; });
    }

    QThread thread_;
    FakePortal portal_;  // lives on thread_, which has stopped before it goes
    std::unique_ptr<QDBusConnection> connection_;
    std::vector<std::string> reports_;
    std::unique_ptr<hotkeys::GlobalHotkeys> hotkeys_;
    int splits_ = 0;
    const std::function<void()> split_ = [this] { ++splits_; };
};

TEST_F(PortalHotkeys, BindingsGoToOurSessionAndOnlyItsActivationsOfBoundKeysRunTheirAction) {
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), nullptr);
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "portal");
    ASSERT_TRUE(BindCalls(1));
    const Shortcuts asked{"hotkey1 Split KP_1", "hotkey2 Ctrl+F5 CTRL+F5"};
    // The same list in the session's options, for desktops that take it from there.
    EXPECT_EQ(portal_.Seen().BindCalls, std::vector<Shortcuts>{asked});
    EXPECT_EQ(portal_.Seen().SessionShortcuts, std::vector<Shortcuts>{asked});
    const std::string session = portal_.Seen().BoundSession;
    EXPECT_TRUE(session.ends_with("/quorvel")) << session;
    Activate(session, "hotkey1", 123456);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits_ == 1; }));
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_EQ(hotkeys_->LastEvent().ServerTimeMs, 123456u);
    EXPECT_TRUE(reports_.empty());  // the answer came before the activation
    // Another session's shortcut, a shortcut never bound, a press while disabled: none counts.
    Activate("/org/freedesktop/portal/desktop/session/1_1/other", "hotkey1", 1);
    Activate(session, "hotkey9", 2);
    RoundTrip();
    hotkeys_->SetEnabled(false);
    Activate(session, "hotkey1", 3);
    RoundTrip();
    EXPECT_EQ(splits_, 1);
    hotkeys_->SetEnabled(true);
    // New bindings replace the session under the same name (the desktop's group of shortcuts
    // keeps it); an action may stop the hotkeys, which closes the second session.
    hotkeys_->ClearBindings();
    const auto stop = [this] { hotkeys_->Stop(); };
    hotkeys_->Bind(5, Spec("Num+5"), stop, "Pause");
    ASSERT_TRUE(BindCalls(2));
    const FakePortal::State seen = portal_.Seen();
    EXPECT_EQ(seen.ClosedSessions, std::vector<std::string>{session});
    EXPECT_EQ(seen.BindCalls[1], Shortcuts{"hotkey5 Pause KP_5"});
    EXPECT_EQ(seen.SessionShortcuts.back(), seen.BindCalls[1]);
    EXPECT_EQ(seen.BoundSession, session);
    Activate(session, "hotkey5", 4);
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal_.Seen().ClosedSessions.size() == 2; }));
    EXPECT_FALSE(hotkeys_->IsRunning());
}

// An empty answer binds nothing as far as we can know: every shortcut is reported, yet the
// desktop registered them from the session, so its key presses still split.
TEST_F(PortalHotkeys, AnEmptyBindAnswerIsReportedAndTheKeysTheSessionBoundStillWork) {
    portal_.bindsFromSession = true;
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Num+2"), nullptr, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([&] { return reports_.size() == 2; }));
    EXPECT_EQ(reports_,
              (std::vector<std::string>{
                  "The desktop did not bind Split; set it in the system's shortcut settings.",
                  "The desktop did not bind Skip; set it in the system's shortcut settings."}));
    Activate(portal_.Seen().BoundSession, "hotkey1", 7);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits_ == 1; }));
}

TEST_F(PortalHotkeys, ARefusedSessionIsReportedOnce) {
    portal_.refuseSessions = true;
    hotkeys_->Bind(1, Spec("Num+1"), nullptr);
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->Bind(2, Spec("Num+2"), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "The desktop refused the global hotkeys; the menu keys still work."});
    EXPECT_TRUE(portal_.Seen().BindCalls.empty());
}

// No portal and no X server to fall back on (the shell's hotkey tests have neither display).
TEST(NoPortal, StartFailsAndReportsOnce) {
    std::vector<std::string> reports;
    hotkeys::GlobalHotkeys hotkeys(
        [&reports](const std::string& text) { reports.push_back(text); });
    hotkeys.Bind(1, Spec("Num+1"), nullptr);
    EXPECT_EQ((std::tuple{hotkeys.Start(), hotkeys.Start(), hotkeys.Backend(), reports}),
              (std::tuple{false, false, std::string(),
                          std::vector<std::string>{"Global hotkeys are not available in this "
                                                   "session; the menu keys still work."}}));
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const support::SessionBus bus;
    busAddress = bus.Running() ? bus.Address() : "";
    setenv("DBUS_SESSION_BUS_ADDRESS",
           bus.Running() ? bus.Address().c_str() : "unix:path=/nonexistent/quorvel-test-bus", 1);
    // A Wayland session as far as the hotkeys can tell, with no X server to fall back on.
    setenv("WAYLAND_DISPLAY", "wayland-quorvel-test", 1);
    unsetenv("DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
