// The portal path against a fake org.freedesktop.portal.Desktop on a private session bus, set
// before Qt keeps its first; the fake answers from a thread, as the hotkeys' calls block.
#include <gtest/gtest.h>

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

using Shortcuts = std::vector<std::string>;  // "hotkey1-KP_1 Split KP_1": id, description, trigger

Shortcuts Read(const QVariant& value) {
    Shortcuts shortcuts;
    for (const WireShortcut& s : qdbus_cast<QList<WireShortcut>>(value)) {
        shortcuts.push_back((s.Id + ' ' + s.Properties.value("description").toString() + ' ' +
                             s.Properties.value("preferred_trigger").toString())
                                .toStdString());
    }
    return shortcuts;
}

// A trigger in the desktop's notation as a desktop shows it: "CTRL+F5" -> "Ctrl+F5",
// "KP_1" -> "Num+1".
QString Shown(QString trigger) {
    return trigger.replace("CTRL+", "Ctrl+").replace("SHIFT+", "Shift+").replace("KP_", "Num+");
}

// A desktop behind the portal: it binds what it is asked to, as the desktop it plays does.
class FakePortal : public QDBusVirtualObject {
  public:
    struct Desktop {
        uint sessionAnswer = 0;         // CreateSession's: 0 made, 1 refused, 2 failed
        bool bindsFromSession = false;  // binds CreateSession's list, answers BindShortcuts empty
        bool keypadAsDigits = false;    // binds "KP_1" as the digit-row "1" (KDE Plasma 5)
        bool keepsIds = false;          // an id it has bound keeps its key, whatever is asked
        bool listsKnown = false;        // CreateSession's answer lists the ids it has bound
        QStringList taken{};            // triggers other programs have: listed, with no key
    };
    struct State {  // what the fake has seen, under the lock
        std::vector<Shortcuts> SessionShortcuts, BindCalls;  // CreateSession's, BindShortcuts'
        std::vector<std::string> ClosedSessions;
        std::string BoundSession;  // of the last BindShortcuts
    };
    State Seen() {
        QMutexLocker locker(&mutex_);
        return state_;
    }
    void Play(const Desktop& desktop) {
        QMutexLocker locker(&mutex_);
        desktop_ = desktop;
    }

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
            const auto asked = qdbus_cast<QList<WireShortcut>>(options.value("shortcuts"));
            state_.SessionShortcuts.push_back(Read(options.value("shortcuts")));
            const QString session = "/org/freedesktop/portal/desktop/session/1_2/" +
                                    options.value("session_handle_token").toString();
            results.insert("session_handle", session);
            if (desktop_.bindsFromSession && desktop_.sessionAnswer == 0) {
                Bind(asked);
            }
            if (desktop_.listsKnown) {
                QList<WireShortcut> known;
                for (const WireShortcut& s : asked) {
                    if (bound_.contains(s.Id)) {
                        known.append(Answer(s));
                    }
                }
                results.insert("shortcuts", QVariant::fromValue(known));
            }
            Respond(message, connection, options, desktop_.sessionAnswer, results);
        } else if (member == QLatin1String("BindShortcuts")) {
            const auto asked = qdbus_cast<QList<WireShortcut>>(args.value(1));
            state_.BoundSession = args.value(0).value<QDBusObjectPath>().path().toStdString();
            state_.BindCalls.push_back(Read(args.value(1)));
            QList<WireShortcut> answer;
            if (!desktop_.bindsFromSession) {
                answer = Bind(asked);
            }
            results.insert("shortcuts", QVariant::fromValue(answer));
            Respond(message, connection, qdbus_cast<QVariantMap>(args.value(3)), 0u, results);
        } else if (member == QLatin1String("Close")) {
            state_.ClosedSessions.push_back(message.path().toStdString());
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

  private:
    QList<WireShortcut> Bind(const QList<WireShortcut>& asked) {
        QList<WireShortcut> answer;
        for (const WireShortcut& s : asked) {
            if (!desktop_.keepsIds || !bound_.contains(s.Id)) {
                QString trigger = s.Properties.value("preferred_trigger").toString();
                if (desktop_.keypadAsDigits && trigger.startsWith("KP_")) {
                    trigger.remove(0, 3);
                }
                bound_[s.Id] = desktop_.taken.contains(trigger) ? QString() : trigger;
            }
            answer.append(Answer(s));
        }
        return answer;
    }
    WireShortcut Answer(const WireShortcut& asked) const {
        return {asked.Id,
                {{"description", asked.Properties.value("description")},
                 {"trigger_description", Shown(bound_.value(asked.Id))}}};
    }
    // Replies with the request's path, then answers through the request's Response signal.
    static void Respond(const QDBusMessage& message, const QDBusConnection& connection,
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
    Desktop desktop_;
    State state_;
    QMap<QString, QString> bound_;  // shortcut id -> the trigger the desktop bound ("" none)
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
    // The desktop's keys once its answer to the n-th session is in.
    std::vector<hotkeys::DesktopKey> KeysAfterSession(std::size_t n) {
        ProcessEventsUntil([&] {
            return portal_.Seen().SessionShortcuts.size() == n && !hotkeys_->DesktopKeys().empty();
        });
        return hotkeys_->DesktopKeys();
    }
    // The hotkeys dialog's OK: every binding made again.
    void ChooseInDialog(const std::vector<std::pair<int, const char*>>& keys) {
        hotkeys_->ClearBindings();
        for (const auto& [id, name] : keys) {
            hotkeys_->Bind(id, Spec(name), split_, id == 1 ? "Split" : "Skip");
        }
    }

    QThread thread_;
    FakePortal portal_;  // lives on thread_, which has stopped before it goes
    std::unique_ptr<QDBusConnection> connection_;
    std::vector<std::string> reports_;
    std::unique_ptr<hotkeys::GlobalHotkeys> hotkeys_;
    int splits_ = 0;
    const std::function<void()> split_ = [this] { ++splits_; };
};

using Key = hotkeys::DesktopKey;
using Keys = std::vector<hotkeys::DesktopKey>;

TEST_F(PortalHotkeys, BindingsGoToOurSessionAndOnlyItsActivationsOfBoundKeysRunTheirAction) {
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), nullptr);
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "portal");
    ASSERT_TRUE(BindCalls(1));
    const Shortcuts asked{"hotkey1-KP_1 Split KP_1", "hotkey2-CTRL+F5 Ctrl+F5 CTRL+F5"};
    // The same list in the session's options, for desktops that take it from there.
    EXPECT_EQ(portal_.Seen().BindCalls, std::vector<Shortcuts>{asked});
    EXPECT_EQ(portal_.Seen().SessionShortcuts, std::vector<Shortcuts>{asked});
    EXPECT_EQ(KeysAfterSession(1), (Keys{Key{1, "Num+1", true}, Key{2, "Ctrl+F5", true}}));
    const std::string session = portal_.Seen().BoundSession;
    EXPECT_TRUE(session.ends_with("/quorvel")) << session;
    Activate(session, "hotkey1-KP_1", 123456);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits_ == 1; }));
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_EQ(hotkeys_->LastEvent().ServerTimeMs, 123456u);
    EXPECT_TRUE(reports_.empty());  // the answer came before the activation
    // Another session's shortcut, a shortcut never bound, a press while disabled: none counts.
    Activate("/org/freedesktop/portal/desktop/session/1_1/other", "hotkey1-KP_1", 1);
    Activate(session, "hotkey9-none", 2);
    RoundTrip();
    hotkeys_->SetEnabled(false);
    Activate(session, "hotkey1-KP_1", 3);
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
    EXPECT_EQ(seen.BindCalls[1], Shortcuts{"hotkey5-KP_5 Pause KP_5"});
    EXPECT_EQ(seen.SessionShortcuts.back(), seen.BindCalls[1]);
    EXPECT_EQ(seen.BoundSession, session);
    Activate(session, "hotkey5-KP_5", 4);
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal_.Seen().ClosedSessions.size() == 2; }));
    EXPECT_FALSE(hotkeys_->IsRunning());
}

// An empty answer binds nothing as far as we can know: every shortcut is reported, yet the
// desktop registered them from the session, so its key presses still split.
TEST_F(PortalHotkeys, AnEmptyBindAnswerIsReportedAndTheKeysTheSessionBoundStillWork) {
    portal_.Play({.bindsFromSession = true});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Num+2"), nullptr, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([&] { return reports_.size() == 2; }));
    EXPECT_EQ(reports_,
              (std::vector<std::string>{
                  "The desktop did not bind Split; set it in the system's shortcut settings.",
                  "The desktop did not bind Skip; set it in the system's shortcut settings."}));
    Activate(portal_.Seen().BoundSession, "hotkey1-KP_1", 7);
    ASSERT_TRUE(ProcessEventsUntil([&] { return splits_ == 1; }));
}

// A key another program has comes back in the answer as if bound, with no key.
TEST_F(PortalHotkeys, AKeyTheDesktopRefusedIsReportedWithWhereToSetIt) {
    portal_.Play({.taken = {"CTRL+F5"}});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), nullptr, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(KeysAfterSession(1), (Keys{Key{1, "Num+1", true}, Key{2, "", false}}));
    EXPECT_EQ(reports_, std::vector<std::string>{"The desktop did not bind Skip; set it in the "
                                                 "system's shortcut settings."});
}

TEST_F(PortalHotkeys, ARefusedSessionIsReportedOnce) {
    portal_.Play({.sessionAnswer = 1});
    hotkeys_->Bind(1, Spec("Num+1"), nullptr);
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->Bind(2, Spec("Num+2"), nullptr);
    ProcessEventsUntil([this] { return portal_.Seen().SessionShortcuts.size() == 2; });
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "The desktop refused the global hotkeys; the menu keys still work."});
    EXPECT_TRUE(portal_.Seen().BindCalls.empty());
}

// Answer 2: the portal runs, its shortcut backend does not. Not a refusal, and once the
// backend is back, the Hotkeys dialog's OK binds the keys.
TEST_F(PortalHotkeys, AFailedSessionIsThePortalsFailureAndTheDialogsOkTriesAgain) {
    portal_.Play({.sessionAnswer = 2});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "The desktop portal failed to set up the global hotkeys; OK in the "
                            "Hotkeys dialog tries again. The menu keys still work."});
    portal_.Play({});
    ChooseInDialog({{1, "Num+1"}});
    ASSERT_TRUE(BindCalls(1));
    EXPECT_EQ(KeysAfterSession(2), (Keys{Key{1, "Num+1", true}}));
}

// KDE Plasma 5 binds "KP_1" as "1", taking the digit row from every program: keypad keys are
// asked for without a key there, and the runner is told where to set them. What the runner
// sets there later reaches the keys shown.
TEST_F(PortalHotkeys, OnADesktopThatBindsKeypadKeysAsDigitsTheyAreAskedForWithoutAKey) {
    const support::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    const support::ScopedEnv version("KDE_SESSION_VERSION", "5");
    portal_.Play({.keypadAsDigits = true, .keepsIds = true, .listsKnown = true});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    hotkeys_->Bind(2, Spec("Ctrl+F5"), nullptr, "Skip");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(BindCalls(1));
    EXPECT_EQ(portal_.Seen().BindCalls[0],
              (Shortcuts{"hotkey1-none Split ", "hotkey2-CTRL+F5 Skip CTRL+F5"}));
    EXPECT_EQ(KeysAfterSession(1), (Keys{Key{1, "", false}, Key{2, "Ctrl+F5", true}}));
    EXPECT_EQ(reports_,
              (std::vector<std::string>{
                  "This desktop would take keypad keys from the digit row of every program, so "
                  "the keypad hotkeys were asked for without a key; set them in System Settings "
                  "▸ Shortcuts ▸ quorvel.",
                  "The desktop did not bind Split; set it in System Settings ▸ Shortcuts ▸ "
                  "quorvel."}));
    QDBusMessage changed = QDBusMessage::createSignal(kDesktopPath, kShortcuts, "ShortcutsChanged");
    const QList<WireShortcut> set{{"hotkey1-none", {{"trigger_description", "F9"}}},
                                  {"hotkey2-CTRL+F5", {{"trigger_description", "Ctrl+F5"}}}};
    changed << QVariant::fromValue(
                   QDBusObjectPath(QString::fromStdString(portal_.Seen().BoundSession)))
            << QVariant::fromValue(set);
    connection_->send(changed);
    EXPECT_TRUE(ProcessEventsUntil([&] {
        return hotkeys_->DesktopKeys() == Keys{Key{1, "F9", false}, Key{2, "Ctrl+F5", true}};
    }));
}

// A desktop not known to do so binds the keypad as the digit row anyway: that is reported, and
// the session is made again without the keypad key, which gives the digit row back.
TEST_F(PortalHotkeys, AKeypadKeyBoundAsTheDigitRowIsGivenBackAndAskedForWithoutAKey) {
    portal_.Play({.keypadAsDigits = true});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(BindCalls(2));
    const FakePortal::State seen = portal_.Seen();
    EXPECT_EQ(seen.BindCalls,
              (std::vector<Shortcuts>{{"hotkey1-KP_1 Split KP_1"}, {"hotkey1-none Split "}}));
    EXPECT_EQ(seen.ClosedSessions.size(), 1u);
    EXPECT_EQ(reports_.front(),
              "The desktop bound Split to 1, not Num+1; change it in the "
              "system's shortcut settings.");
    EXPECT_EQ(KeysAfterSession(2), (Keys{Key{1, "", false}}));
}

// A desktop that keeps the key it stored for a shortcut id: a key changed in the dialog is a
// new id, so it reaches the desktop; the same keys again change nothing; at the next launch
// the desktop lists them all when the session is made, and its settings page stays shut.
TEST_F(PortalHotkeys, AChangedKeyReachesADesktopThatKeepsItsIdsAndKnownKeysAreNotBoundAgain) {
    portal_.Play({.keepsIds = true, .listsKnown = true});
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    ASSERT_TRUE(BindCalls(1));
    ChooseInDialog({{1, "Num+1"}});  // OK with nothing changed
    RoundTrip();
    ChooseInDialog({{1, "Num+7"}});
    ASSERT_TRUE(BindCalls(2));
    EXPECT_EQ(portal_.Seen().BindCalls[1], Shortcuts{"hotkey1-KP_7 Split KP_7"});
    EXPECT_EQ(KeysAfterSession(2), (Keys{Key{1, "Num+7", true}}));
    hotkeys_ = std::make_unique<hotkeys::GlobalHotkeys>(
        [this](const std::string& text) { reports_.push_back(text); });
    hotkeys_->Bind(1, Spec("Num+7"), split_, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(KeysAfterSession(3), (Keys{Key{1, "Num+7", true}}));
    EXPECT_EQ(portal_.Seen().BindCalls.size(), 2u);
    EXPECT_TRUE(reports_.empty());
}

// Only the window that owns the split file holds the desktop's session.
TEST_F(PortalHotkeys, AWindowWithoutItsSplitFileOpensNoSession) {
    hotkeys_->Bind(1, Spec("Num+1"), split_, "Split");
    EXPECT_FALSE(hotkeys_->Start(hotkeys::HotkeyStartMode::kWithoutPortal));
    RoundTrip();
    EXPECT_TRUE(portal_.Seen().SessionShortcuts.empty());
    EXPECT_EQ(reports_, std::vector<std::string>{"Global hotkeys are with the window that has "
                                                 "this split file open; the menu keys still "
                                                 "work here."});
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
