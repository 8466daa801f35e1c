// The portal path against a fake org.freedesktop.portal.Desktop on a private session bus. The
// fake answers from a thread of its own, since the hotkeys ask it with a blocking call.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
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

std::vector<BoundShortcut> ReadShortcuts(const QVariant& value) {
    std::vector<BoundShortcut> shortcuts;
    for (const WireShortcut& s : qdbus_cast<QList<WireShortcut>>(value)) {
        shortcuts.push_back({s.Id.toStdString(),
                             s.Properties.value("description").toString().toStdString(),
                             s.Properties.value("preferred_trigger").toString().toStdString()});
    }
    return shortcuts;
}

// ---- The fake portal ----

class FakePortal : public QDBusVirtualObject {
  public:
    // What the fake has seen and how it behaves; read and set under the lock.
    // Where a desktop takes the shortcuts from: newer ones bind BindShortcuts' list and list
    // it in the answer; an older one registers only what CreateSession's options carry and
    // answers BindShortcuts with an empty list.
    enum class Binds { kFromBindShortcuts, kOnlyFromCreateSession };

    struct State {
        bool OffersShortcuts = true;
        bool RefuseSessions = false;
        Binds Binding = Binds::kFromBindShortcuts;
        std::string LeftOut;                // an id the desktop does not bind
        std::vector<std::string> Sessions;  // created, in order
        std::vector<std::vector<BoundShortcut>> SessionShortcuts;  // in CreateSession's options
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
            state_.SessionShortcuts.push_back(ReadShortcuts(options.value("shortcuts")));
            QVariantMap results;
            results.insert("session_handle", QString::fromStdString(session));
            Answer(message, connection, options, state_.RefuseSessions ? 1u : 0u, results);
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            state_.BoundSession = args.value(0).value<QDBusObjectPath>().path().toStdString();
            const std::vector<BoundShortcut> shortcuts = ReadShortcuts(args.value(1));
            state_.BindCalls.push_back(shortcuts);
            QList<WireShortcut> bound;
            if (state_.Binding == Binds::kFromBindShortcuts) {
                for (const BoundShortcut& s : shortcuts) {
                    if (s.Id != state_.LeftOut) {
                        QVariantMap properties;
                        properties.insert("description", QString::fromStdString(s.Description));
                        properties.insert("trigger_description", QString::fromStdString(s.Trigger));
                        bound.append({QString::fromStdString(s.Id), properties});
                    }
                }
            }
            QVariantMap results;
            results.insert("shortcuts", QVariant::fromValue(bound));
            Answer(message, connection, qdbus_cast<QVariantMap>(args.value(3)), 0u, results);
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
        qDBusRegisterMetaType<WireShortcut>();
        qDBusRegisterMetaType<QList<WireShortcut>>();
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
    const auto state = portal_->With([](FakePortal::State& s) { return s; });
    const std::vector<BoundShortcut> asked{{"hotkey1", "Split", "KP_1"},
                                           {"hotkey2", "Ctrl+F5", "CTRL+F5"}};
    EXPECT_EQ(state.BindCalls[0], asked);
    // The same list in the session's options, for desktops that take it from there.
    EXPECT_EQ(state.SessionShortcuts, std::vector<std::vector<BoundShortcut>>{asked});
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
    EXPECT_EQ(state.BindCalls[1], (std::vector<BoundShortcut>{{"hotkey5", "Pause", "KP_5"}}));
    EXPECT_EQ(state.SessionShortcuts.back(), state.BindCalls[1]);
    // The desktop's group of shortcuts keeps its name: the new session has the old one's.
    EXPECT_EQ(state.BoundSession, first);
    EXPECT_TRUE(first.ends_with("/quorvel")) << first;
    hotkeys_->Stop();  // and stopping closes the second
    EXPECT_TRUE(ProcessEventsUntil([&] {
        return portal_->With([](FakePortal::State& s) { return s.ClosedSessions.size(); }) == 2;
    }));
}

TEST_F(PortalHotkeys, TheSessionKeepsItsNameAcrossRestarts) {
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    hotkeys_.reset();
    hotkeys_ = std::make_unique<tk::GlobalHotkeys>(nullptr);
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 2; }));
    const auto sessions = portal_->With([](FakePortal::State& s) { return s.Sessions; });
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0], sessions[1]);
}

TEST_F(PortalHotkeys, ADesktopThatBindsOnlyFromTheSessionIsReportedAndItsKeysStillWork) {
    portal_->With(
        [](FakePortal::State& s) { return s.Binding = FakePortal::Binds::kOnlyFromCreateSession; });
    int splits = 0;
    hotkeys_->Bind(
        1, Spec("Num+1"), [&splits] { ++splits; }, "Split");
    hotkeys_->Bind(
        2, Spec("Num+2"), [] {}, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return reports_.size() == 2; }));
    // An empty answer binds nothing as far as we can know: every shortcut is reported.
    EXPECT_EQ(reports_,
              (std::vector<std::string>{
                  "The desktop did not bind Split; set it in the system's shortcut settings.",
                  "The desktop did not bind Skip; set it in the system's shortcut settings."}));
    EXPECT_EQ(portal_->With([](FakePortal::State& s) { return s.SessionShortcuts[0].size(); }), 2u);
    // The desktop registered them from the session, so its key presses still split.
    Activate(BoundSession(), "hotkey1", 7);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
}

TEST_F(PortalHotkeys, AShortcutLeftOutOfTheAnswerIsReportedAndTheOthersAreNot) {
    portal_->With([](FakePortal::State& s) { return s.LeftOut = "hotkey4"; });
    hotkeys_->Bind(
        1, Spec("Num+1"), [] {}, "Split");
    hotkeys_->Bind(
        4, Spec("Num+5"), [] {}, "Pause");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    RoundTrip();
    EXPECT_EQ(reports_,
              std::vector<std::string>{
                  "The desktop did not bind Pause; set it in the system's shortcut settings."});
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
