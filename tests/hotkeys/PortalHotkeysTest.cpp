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
    std::string Id, Description, Trigger;
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

class FakePortal : public QDBusVirtualObject {
  public:
    // What the fake has seen and how it behaves; read and set under the lock. BindsFromSession:
    // like an older desktop, it registers only what CreateSession's options carry and answers
    // BindShortcuts with an empty list; else it binds and lists BindShortcuts' list.
    struct State {
        bool OffersShortcuts = true, RefuseSessions = false, BindsFromSession = false;
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
            connection.send(state_.OffersShortcuts
                                ? message.createReply(QVariant::fromValue(QDBusVariant(1u)))
                                : message.createErrorReply(QDBusError::UnknownInterface, "none"));
            return true;
        }
        if (member == QLatin1String("CreateSession")) {
            const auto options = qdbus_cast<QVariantMap>(args.value(0));
            const std::string session =
                "/org/freedesktop/portal/desktop/session/1_2/" +
                options.value("session_handle_token").toString().toStdString();
            state_.SessionShortcuts.push_back(ReadShortcuts(options.value("shortcuts")));
            QVariantMap results;
            results.insert("session_handle", QString::fromStdString(session));
            Answer(message, connection, options, state_.RefuseSessions ? 1u : 0u, results);
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            state_.BoundSession = args.value(0).value<QDBusObjectPath>().path().toStdString();
            state_.BindCalls.push_back(ReadShortcuts(args.value(1)));
            QList<WireShortcut> bound;  // empty, or the list as asked
            if (!state_.BindsFromSession) {
                bound = qdbus_cast<QList<WireShortcut>>(args.value(1));
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
        NewHotkeys();
    }

    void TearDown() override {
        hotkeys_.reset();
        if (connection_) {  // its name and objects go with it
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

    FakePortal::State Seen() {
        return portal_->With([](FakePortal::State& s) { return s; });
    }
    size_t BindCalls() { return Seen().BindCalls.size(); }
    void NewHotkeys() {
        reports_.clear();
        hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }

    QThread thread_;
    FakePortal* portal_ = nullptr;  // deleted in TearDown, after its thread has stopped
    std::unique_ptr<QDBusConnection> connection_;
    std::vector<std::string> reports_;
    std::unique_ptr<tk::GlobalHotkeys> hotkeys_;
};

TEST_F(PortalHotkeys, BindingsGoToThePortalAndActivationsOfOurSessionRunTheirActionOnce) {
    int splits = 0;
    bool stopOnSplit = false;
    const auto split = [&] {
        ++splits;
        if (stopOnSplit) {
            hotkeys_->Stop();
        }
    };
    hotkeys_->Bind(1, Spec("Num+1"), split, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "portal");
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    const std::vector<BoundShortcut> asked{{"hotkey1", "Split", "KP_1"},
                                           {"hotkey2", "Ctrl+F5", "CTRL+F5"}};
    EXPECT_EQ(Seen().BindCalls[0], asked);
    // The same list in the session's options, for desktops that take it from there.
    EXPECT_EQ(Seen().SessionShortcuts, std::vector<std::vector<BoundShortcut>>{asked});
    EXPECT_TRUE(reports_.empty());
    const std::string session = Seen().BoundSession;

    Activate(session, "hotkey1", 123456);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_EQ(hotkeys_->LastEvent().ServerTimeMs, 123456u);
    // Another session's shortcut, a shortcut never bound, a press while disabled: none counts.
    Activate("/org/freedesktop/portal/desktop/session/1_1/other", "hotkey1", 1);
    Activate(session, "hotkey9", 2);
    hotkeys_->SetEnabled(false);
    Activate(session, "hotkey1", 3);
    RoundTrip();
    EXPECT_EQ(splits, 1);
    // Enabled again; an action may stop the hotkeys, and the second press is not delivered.
    hotkeys_->SetEnabled(true);
    stopOnSplit = true;
    Activate(session, "hotkey1", 4);
    Activate(session, "hotkey1", 5);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 2; }));
    RoundTrip();
    EXPECT_EQ(splits, 2);
    EXPECT_FALSE(hotkeys_->IsRunning());
}

TEST_F(PortalHotkeys, ChangingTheBindingsReplacesTheSessionUnderTheSameNameAndStoppingClosesIt) {
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 1; }));
    const std::string first = Seen().BoundSession;
    EXPECT_TRUE(first.ends_with("/quorvel")) << first;
    hotkeys_->ClearBindings();
    hotkeys_->Bind(
        5, Spec("Num+5"), [] {}, "Pause");
    ASSERT_TRUE(ProcessEventsUntil([this] { return BindCalls() == 2; }));
    const FakePortal::State state = Seen();
    EXPECT_EQ(state.ClosedSessions, std::vector<std::string>{first});
    EXPECT_EQ(state.BindCalls[1], (std::vector<BoundShortcut>{{"hotkey5", "Pause", "KP_5"}}));
    EXPECT_EQ(state.SessionShortcuts.back(), state.BindCalls[1]);
    EXPECT_EQ(state.BoundSession, first);  // the desktop's group of shortcuts keeps its name
    hotkeys_->Stop();                      // and stopping closes the second
    EXPECT_TRUE(ProcessEventsUntil([&] { return Seen().ClosedSessions.size() == 2; }));
}

// An empty answer binds nothing as far as we can know: every shortcut is reported, yet the
// desktop registered them from the session, so its key presses still split.
TEST_F(PortalHotkeys, AnEmptyBindAnswerIsReportedAndTheKeysTheSessionBoundStillWork) {
    portal_->With([](FakePortal::State& s) { return s.BindsFromSession = true; });
    int splits = 0;
    hotkeys_->Bind(
        1, Spec("Num+1"), [&splits] { ++splits; }, "Split");
    hotkeys_->Bind(
        2, Spec("Num+2"), [] {}, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([&] { return reports_.size() == 2; }));
    RoundTrip();
    EXPECT_EQ(reports_,
              (std::vector<std::string>{
                  "The desktop did not bind Split; set it in the system's shortcut settings.",
                  "The desktop did not bind Skip; set it in the system's shortcut settings."}));
    Activate(Seen().BoundSession, "hotkey1", 7);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
}

TEST_F(PortalHotkeys, ARefusedSessionOrAPortalWithoutShortcutsIsReportedOnce) {
    portal_->With([](FakePortal::State& s) { return s.RefuseSessions = true; });
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->Bind(2, Spec("Num+2"), [] {});
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "The desktop refused the global hotkeys; the menu keys still work."});
    EXPECT_EQ(BindCalls(), 0u);

    portal_->With([](FakePortal::State& s) { return s.OffersShortcuts = false; });
    NewHotkeys();
    EXPECT_FALSE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "");
    EXPECT_EQ(reports_, std::vector<std::string>{"Global hotkeys are not available in this "
                                                 "session; the menu keys still work."});
}

}  // namespace
