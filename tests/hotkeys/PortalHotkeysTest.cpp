// The portal path against a fake org.freedesktop.portal.Desktop on a private session bus. The
// fake answers from a thread of its own, since the hotkeys ask it with a blocking call.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QThread>

#include <string>
#include <vector>

#include "GlobalHotkeys.h"
#include "ParsedHotkey.h"
#include "QtEvents.h"

namespace support {
extern std::string PrivateBusAddress;
}

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

struct BoundShortcut {
    std::string Id;
    std::string Description;
    std::string Trigger;

    bool operator==(const BoundShortcut&) const = default;
};

// ---- The fake portal ----

class FakePortal : public QDBusVirtualObject {
  public:
    // What the fake has seen and how it behaves; read and set under the lock.
    struct State {
        bool OffersShortcuts = true;
        bool RefuseSessions = false;
        std::vector<std::string> Sessions;  // created, in order
        std::vector<std::string> ClosedSessions;
        std::vector<std::vector<BoundShortcut>> BindCalls;
        std::string BoundSession;  // of the last BindShortcuts
    };

    template <typename F>
    auto With(F f) {
        QMutexLocker locker(&mutex_);
        return f(state_);
    }

    QString introspect(const QString& /*path*/) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QMutexLocker locker(&mutex_);
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        if (member == QLatin1String("Get")) {
            if (!state_.OffersShortcuts) {
                connection.send(message.createErrorReply(QDBusError::UnknownInterface, "none"));
            } else {
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            }
            return true;
        }
        if (member == QLatin1String("CreateSession")) {
            const auto options = qdbus_cast<QVariantMap>(args.value(0));
            const std::string sender = message.service().toStdString();
            const std::string session =
                "/org/freedesktop/portal/desktop/session/" + SenderPart(sender) + "/" +
                options.value("session_handle_token").toString().toStdString();
            state_.Sessions.push_back(session);
            QVariantMap results;
            results.insert("session_handle", QString::fromStdString(session));
            Answer(message, connection, options, state_.RefuseSessions ? 1u : 0u, results);
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            state_.BoundSession = args.value(0).value<QDBusObjectPath>().path().toStdString();
            std::vector<BoundShortcut> shortcuts;
            const auto list = args.value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                shortcuts.push_back(
                    {id.toStdString(), properties.value("description").toString().toStdString(),
                     properties.value("preferred_trigger").toString().toStdString()});
            }
            list.endArray();
            state_.BindCalls.push_back(shortcuts);
            Answer(message, connection, qdbus_cast<QVariantMap>(args.value(3)), 0u, {});
            return true;
        }
        if (member == QLatin1String("Close")) {
            state_.ClosedSessions.push_back(message.path().toStdString());
            connection.send(message.createReply());
            return true;
        }
        return false;
    }

  private:
    static std::string SenderPart(const std::string& unique) {
        const std::string path = tk::hotkeys::PortalRequestPath(unique, "x");
        const size_t end = path.rfind('/');
        const size_t begin = path.rfind('/', end - 1) + 1;
        return path.substr(begin, end - begin);
    }

    // Replies with the request's path, then answers through the request's Response signal.
    static void Answer(const QDBusMessage& message, const QDBusConnection& connection,
                       const QVariantMap& options, uint response, const QVariantMap& results) {
        const QString request = QString::fromStdString(
            tk::hotkeys::PortalRequestPath(message.service().toStdString(),
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
        if (support::PrivateBusAddress.empty()) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        thread_.start();
        portal_ = new FakePortal;
        portal_->moveToThread(&thread_);
        connection_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QString::fromStdString(support::PrivateBusAddress), "fake-portal"));
        ASSERT_TRUE(connection_->isConnected());
        // Registered from the portal's thread, where the connection keeps its helpers for it.
        bool registered = false;
        QMetaObject::invokeMethod(
            portal_,
            [this, &registered] {
                registered = connection_->registerVirtualObject(kDesktopPath, portal_,
                                                                QDBusConnection::SubPath);
            },
            Qt::BlockingQueuedConnection);
        ASSERT_TRUE(registered);
        ASSERT_TRUE(connection_->registerService(kService));
        hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }

    void TearDown() override {
        hotkeys_.reset();
        if (connection_) {
            connection_->unregisterService(kService);
            QMetaObject::invokeMethod(
                portal_,
                [this] {
                    connection_->unregisterObject(kDesktopPath, QDBusConnection::UnregisterTree);
                },
                Qt::BlockingQueuedConnection);
            connection_.reset();
            QDBusConnection::disconnectFromBus("fake-portal");
        }
        thread_.quit();
        thread_.wait();
        delete portal_;
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
        QDBusMessage get = QDBusMessage::createMethodCall(
            kService, kDesktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << kShortcuts << QStringLiteral("version");
        ASSERT_EQ(QDBusConnection::sessionBus().call(get).type(), QDBusMessage::ReplyMessage);
        QCoreApplication::processEvents();
    }

    size_t BindCalls() {
        return portal_->With([](FakePortal::State& s) { return s.BindCalls.size(); });
    }
    std::string BoundSession() {
        return portal_->With([](FakePortal::State& s) { return s.BoundSession; });
    }

    QThread thread_;
    FakePortal* portal_ = nullptr;  // deleted in TearDown, after its thread has stopped
    std::unique_ptr<QDBusConnection> connection_;
    std::vector<std::string> reports_;
    std::unique_ptr<tk::GlobalHotkeys> hotkeys_;
};

TEST_F(PortalHotkeys, BindingsGoToThePortalAndActivationsOfOurSessionRunTheirActionOnce) {
    int splits = 0;
    hotkeys_->Bind(
        1, Spec("Num+1"), [&splits] { ++splits; }, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "portal");
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    const auto bound = portal_->With([](FakePortal::State& s) { return s.BindCalls[0]; });
    EXPECT_EQ(bound, (std::vector<BoundShortcut>{{"hotkey1", "Split", "KP_1"},
                                                 {"hotkey2", "Ctrl+F5", "CTRL+F5"}}));
    EXPECT_TRUE(reports_.empty());
    const std::string session = BoundSession();

    Activate(session, "hotkey1", 123456);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_EQ(hotkeys_->LastEvent().ServerTimeMs, 123456u);

    // Another session's shortcut, a shortcut we never bound, and a press while disabled:
    // none of them counts.
    Activate("/org/freedesktop/portal/desktop/session/1_1/other", "hotkey1", 1);
    Activate(session, "hotkey9", 2);
    hotkeys_->SetEnabled(false);
    Activate(session, "hotkey1", 3);
    RoundTrip();
    EXPECT_EQ(splits, 1);

    hotkeys_->SetEnabled(true);
    Activate(session, "hotkey1", 4);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 2; }));
}

TEST_F(PortalHotkeys, ChangingTheBindingsReplacesTheSessionAndStoppingClosesIt) {
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    const std::string first = BoundSession();
    hotkeys_->ClearBindings();
    hotkeys_->Bind(
        5, Spec("Num+5"), [] {}, "Pause");
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 2; }));
    const auto state = portal_->With([](FakePortal::State& s) { return s; });
    EXPECT_EQ(state.ClosedSessions, std::vector<std::string>{first});
    EXPECT_NE(state.BoundSession, first);
    EXPECT_EQ(state.BindCalls[1], (std::vector<BoundShortcut>{{"hotkey5", "Pause", "KP_5"}}));
    hotkeys_->Stop();  // and stopping closes the second
    EXPECT_TRUE(ProcessEventsUntil([&] {
        return portal_->With([](FakePortal::State& s) { return s.ClosedSessions.size(); }) == 2;
    }));
}

TEST_F(PortalHotkeys, ARefusedSessionIsReportedOnce) {
    portal_->With([](FakePortal::State& s) { return s.RefuseSessions = true; });
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->Bind(2, Spec("Num+2"), [] {});
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "The desktop refused the global hotkeys; the menu keys still work."});
    EXPECT_EQ(BindCalls(), 0u);
}

TEST_F(PortalHotkeys, APortalWithoutGlobalShortcutsMeansNoHotkeys) {
    portal_->With([](FakePortal::State& s) { return s.OffersShortcuts = false; });
    EXPECT_FALSE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "");
    EXPECT_EQ(reports_, std::vector<std::string>{"Global hotkeys are not available in this "
                                                 "session; the menu keys still work."});
}

TEST_F(PortalHotkeys, AnActionMayStopTheHotkeys) {
    int splits = 0;
    hotkeys_->Bind(1, Spec("Num+1"), [this, &splits] {
        ++splits;
        hotkeys_->Stop();
    });
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    const std::string session = BoundSession();
    Activate(session, "hotkey1", 1);
    Activate(session, "hotkey1", 2);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
    RoundTrip();
    EXPECT_EQ(splits, 1);
    EXPECT_FALSE(hotkeys_->IsRunning());
}

}  // namespace
