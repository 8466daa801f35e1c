#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "GlobalHotkeysBackend.h"

namespace hotkeys::detail {

// One entry of BindShortcuts' a(sa{sv}): the shortcut's id and its description and trigger.
struct PortalShortcut {
    QString Id;
    QVariantMap Properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.Id << shortcut.Properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.Id >> shortcut.Properties;
    argument.endStructure();
    return argument;
}

}  // namespace hotkeys::detail

Q_DECLARE_METATYPE(hotkeys::detail::PortalShortcut)

namespace hotkeys::detail {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kObjectPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
constexpr int kProbeTimeoutMs = 3000;
// The session's last path element. The same in every run and every rebinding, so that a
// desktop that groups shortcuts by session keeps one group for us, with the keys the runner
// assigned there.
const QString kSessionToken = QStringLiteral("quorvel");

// ---- The backend ----

// What the answer says of a binding's key.
enum class Outcome { kAsChosen, kNone, kDigitRow, kOther, kUnknown };

Outcome Compare(const HotkeySpec& chosen, bool askedWithKey, const QString& trigger) {
    HotkeySpec bound;
    if (trigger.isEmpty()) {
        return Outcome::kNone;
    }
    if (!ParseHotkeyName(trigger.toStdString(), &bound)) {
        return Outcome::kUnknown;  // the desktop's own notation: shown as it is
    }
    if (bound == chosen) {
        return Outcome::kAsChosen;
    }
    const bool digitRow = chosen.Keypad && !bound.Keypad && bound.Key == chosen.Key &&
                          bound.Modifiers == chosen.Modifiers;
    return digitRow && askedWithKey ? Outcome::kDigitRow : Outcome::kOther;
}

// The session's life: created (asynchronously; the portal answers through a Request object)
// once there are bindings, then bound once; a later change of the bindings closes the session
// and makes it again, since a session takes its shortcuts only once. The same bindings again
// (OK in the Hotkeys dialog with nothing changed) change nothing, except after a failure,
// which they try again.
//
// Desktops differ, and each difference has its answer here:
//   - some take the shortcuts from BindShortcuts, some only from CreateSession's options
//     (answering BindShortcuts with an empty list): both carry them;
//   - some remember the shortcuts and list them all in CreateSession's answer: then
//     BindShortcuts, which opens the desktop's shortcut settings, is not called at all;
//   - some keep the key they stored for a shortcut id, whatever is asked later: the id holds
//     the key asked for (PortalShortcutId), so a key changed in the Hotkeys dialog is a new
//     shortcut;
//   - some bind a keypad trigger as the digit-row key, taking that key from every application
//     (KDE Plasma 5; DesktopBindsKeypadAsDigits): keypad keys are asked for without a key
//     there, and where an answer shows it happening anyway, the session is made again so;
//   - some list a key they refused (taken) as bound, with no key: reported as not bound.
// The answer's key of each shortcut (trigger_description) is kept for DesktopKeys(); a key
// other than the one chosen, or none, is reported with where to change it.
class PortalBackend final : public QObject, protected QDBusContext, public HotkeyBackend {
    Q_OBJECT

  public:
    PortalBackend(BackendHost host, QDBusConnection bus)
        : host_(std::move(host)), bus_(std::move(bus)) {}

    ~PortalBackend() override { CloseSession(); }

    bool Open() {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        // The Activated slot is found by the names of its argument types: they must be known
        // before it is connected, or the signal is silently never delivered.
        qRegisterMetaType<QDBusObjectPath>();
        QDBusMessage probe = QDBusMessage::createMethodCall(
            kService, kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        probe << kInterface << QStringLiteral("version");
        const QDBusMessage answer = bus_.call(probe, QDBus::Block, kProbeTimeoutMs);
        if (answer.type() != QDBusMessage::ReplyMessage) {
            return false;
        }
        bus_.connect(kService, kObjectPath, kInterface, QStringLiteral("Activated"), this,
                     SLOT(OnActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        bus_.connect(kService, kObjectPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                     SLOT(OnShortcutsChanged(QDBusMessage)));
        keypadAsDigits_ =
            DesktopBindsKeypadAsDigits(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(),
                                       qEnvironmentVariable("KDE_SESSION_VERSION").toStdString());
        state_ = State::kIdle;
        return true;
    }

    std::string Name() const override { return "portal"; }

    void SetBindings(const std::vector<Binding>& bindings) override {
        bindings_ = bindings;
        Reapply();
    }

    void SetEnabled(bool enabled) override { enabled_ = enabled; }

    std::vector<DesktopKey> DesktopKeys() const override { return desktopKeys_; }

  private Q_SLOTS:
    void OnSessionCreated(uint response, const QVariantMap& results) {
        if (!IsCurrentResponse()) {
            return;
        }
        ForgetRequest();
        if (response != 0) {
            Fail(response);
            return;
        }
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        sessionHandle_ = handle.canConvert<QDBusObjectPath>()
                             ? handle.value<QDBusObjectPath>().path()
                             : handle.toString();
        state_ = State::kReady;
        if (std::exchange(changed_, false)) {
            Apply();
            return;
        }
        const auto listed =
            qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts")));
        const bool every = std::all_of(asked_.begin(), asked_.end(), [&listed](const Asked& a) {
            return std::any_of(listed.begin(), listed.end(),
                               [&a](const PortalShortcut& s) { return s.Id == a.Id; });
        });
        if (every) {  // the desktop remembers them all: no settings page to open
            state_ = State::kBound;
            TakeAnswer(listed, /*report=*/true);
            return;
        }
        state_ = State::kBinding;
        Request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(sessionHandle_)),
                 QVariant::fromValue(Wire(asked_)), QString()},
                {}, SLOT(OnBound(uint, QVariantMap)));
    }

    void OnBound(uint response, const QVariantMap& results) {
        if (!IsCurrentResponse()) {
            return;
        }
        ForgetRequest();
        if (response != 0) {
            Fail(response);
            return;
        }
        state_ = State::kBound;
        if (std::exchange(changed_, false)) {
            Apply();
            return;
        }
        TakeAnswer(qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts"))),
                   /*report=*/true);
    }

    // The runner changed a key in the desktop's settings.
    void OnShortcutsChanged(const QDBusMessage& message) {
        const QList<QVariant> arguments = message.arguments();
        if (state_ == State::kBound && arguments.size() >= 2 &&
            arguments[0].value<QDBusObjectPath>().path() == sessionHandle_) {
            TakeAnswer(qdbus_cast<QList<PortalShortcut>>(arguments[1]), /*report=*/false);
        }
    }

    // May destroy this backend (through the action): nothing is touched after Fire.
    void OnActivated(const QDBusObjectPath& session, const QString& shortcutId,
                     qulonglong timestamp, const QVariantMap& /*options*/) {
        const int64_t receivedNs = MonotonicNowNs();
        if (!enabled_ || session.path() != sessionHandle_) {
            return;
        }
        const auto found =
            std::find_if(asked_.begin(), asked_.end(),
                         [&shortcutId](const Asked& a) { return a.Id == shortcutId; });
        if (found != asked_.end()) {
            host_.Fire(found->What.Id, static_cast<uint32_t>(timestamp), receivedNs);
        }
    }

  private:
    enum class State { kIdle, kCreating, kReady, kBinding, kBound, kFailed };

    // A binding as the portal is asked for it.
    struct Asked {
        Binding What;
        QString Id;
        std::string Trigger;  // the preferred trigger; "" to let the desktop (the runner) pick
    };

    // A Response already on its way when its request was given up is still delivered.
    bool IsCurrentResponse() const {
        return calledFromDBus() && !responseSlot_.isEmpty() && message().path() == requestPath_;
    }

    QString NextToken() { return QStringLiteral("quorvel%1").arg(++tokenCounter_); }

    static std::string DescriptionOf(const Binding& binding) {
        return binding.Description.empty() ? HotkeyName(binding.Spec) : binding.Description;
    }

    std::vector<Asked> Wanted() const {
        std::vector<Asked> wanted;
        for (const Binding& binding : bindings_) {
            const bool withoutKey = binding.Spec.Keypad && keypadAsDigits_;
            const std::string trigger = withoutKey ? "" : PortalTrigger(binding.Spec);
            wanted.push_back(
                {binding, QString::fromStdString(PortalShortcutId(binding.Id, trigger)), trigger});
        }
        return wanted;
    }

    static QList<PortalShortcut> Wire(const std::vector<Asked>& asked) {
        QList<PortalShortcut> shortcuts;
        for (const Asked& a : asked) {
            PortalShortcut shortcut;
            shortcut.Id = a.Id;
            shortcut.Properties.insert(QStringLiteral("description"),
                                       QString::fromStdString(DescriptionOf(a.What)));
            if (!a.Trigger.empty()) {
                shortcut.Properties.insert(QStringLiteral("preferred_trigger"),
                                           QString::fromStdString(a.Trigger));
            }
            shortcuts.append(shortcut);
        }
        return shortcuts;
    }

    // Calls a portal method whose answer comes as a Response signal on a Request object.
    void Request(const QString& method, const QList<QVariant>& arguments, QVariantMap options,
                 const char* responseSlot) {
        const QString token = NextToken();
        options.insert(QStringLiteral("handle_token"), token);
        requestPath_ = QString::fromStdString(
            PortalRequestPath(bus_.baseService().toStdString(), token.toStdString()));
        responseSlot_ = responseSlot;
        // Listen before asking, so that a quick answer is not missed.
        bus_.connect(kService, requestPath_, kRequestInterface, QStringLiteral("Response"), this,
                     responseSlot_);
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kObjectPath, kInterface, method);
        QList<QVariant> all = arguments;
        all.append(options);
        call.setArguments(all);
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, expected = requestPath_](QDBusPendingCallWatcher* finished) {
                    finished->deleteLater();
                    if (requestPath_ != expected || responseSlot_.isEmpty()) {
                        return;  // answered already, or replaced by a later request
                    }
                    const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                    if (reply.isError()) {
                        ForgetRequest();
                        state_ = State::kFailed;
                        host_.Report(kUnavailableMessage);
                        return;
                    }
                    // An older portal may answer on a path of its own making.
                    const QString path = reply.value().path();
                    if (path != requestPath_) {
                        const QByteArray slot = responseSlot_;
                        ForgetRequest();
                        requestPath_ = path;
                        responseSlot_ = slot;
                        bus_.connect(kService, requestPath_, kRequestInterface,
                                     QStringLiteral("Response"), this, responseSlot_);
                    }
                });
    }

    void ForgetRequest() {
        if (!responseSlot_.isEmpty()) {
            bus_.disconnect(kService, requestPath_, kRequestInterface, QStringLiteral("Response"),
                            this, responseSlot_);
        }
        responseSlot_.clear();
        requestPath_.clear();
    }

    void CloseSession() {
        ForgetRequest();
        if (!sessionHandle_.isEmpty()) {
            const QDBusMessage close = QDBusMessage::createMethodCall(
                kService, sessionHandle_, kSessionInterface, QStringLiteral("Close"));
            bus_.call(close, QDBus::NoBlock);
            sessionHandle_.clear();
        }
    }

    // Bindings changed one after the other go to the portal together.
    void Reapply() {
        if (!applyQueued_) {
            applyQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                applyQueued_ = false;
                Apply();
            });
        }
    }

    void Apply() {
        if (state_ == State::kCreating || state_ == State::kBinding) {
            changed_ = true;  // taken up when the answer comes
            return;
        }
        std::vector<Asked> wanted = Wanted();
        const auto same = [](const Asked& a, const Asked& b) {
            return a.Id == b.Id && DescriptionOf(a.What) == DescriptionOf(b.What);
        };
        if (state_ == State::kBound &&
            std::equal(wanted.begin(), wanted.end(), asked_.begin(), asked_.end(), same)) {
            return;
        }
        CloseSession();
        desktopKeys_.clear();
        asked_ = std::move(wanted);
        state_ = State::kIdle;
        if (asked_.empty()) {
            return;
        }
        if (std::any_of(asked_.begin(), asked_.end(),
                        [](const Asked& a) { return a.Trigger.empty() && a.What.Spec.Keypad; })) {
            host_.Report(KeypadAskedWithoutKeyMessage());
        }
        state_ = State::kCreating;
        QVariantMap options;
        options.insert(QStringLiteral("session_handle_token"), kSessionToken);
        options.insert(QStringLiteral("shortcuts"), QVariant::fromValue(Wire(asked_)));
        Request(QStringLiteral("CreateSession"), {}, options,
                SLOT(OnSessionCreated(uint, QVariantMap)));
    }

    // 1: the runner (or the desktop) refused; 2: the portal failed. Either way the next change
    // of the bindings (the Hotkeys dialog's OK) tries again.
    void Fail(uint response) {
        CloseSession();
        state_ = State::kFailed;
        host_.Report(response == 1 ? kRefusedMessage : kPortalFailedMessage);
        if (std::exchange(changed_, false)) {
            Apply();
        }
    }

    void TakeAnswer(const QList<PortalShortcut>& answer, bool report) {
        desktopKeys_.clear();
        bool digitRow = false;
        for (const Asked& a : asked_) {
            const auto found = std::find_if(answer.begin(), answer.end(),
                                            [&a](const PortalShortcut& s) { return s.Id == a.Id; });
            const QString trigger =
                found == answer.end()
                    ? QString()
                    : found->Properties.value(QStringLiteral("trigger_description")).toString();
            const Outcome outcome = Compare(a.What.Spec, !a.Trigger.empty(), trigger);
            desktopKeys_.push_back(
                {a.What.Id, trigger.toStdString(), outcome == Outcome::kAsChosen});
            if (!report) {
                continue;
            }
            if (outcome == Outcome::kNone) {
                host_.Report(NotBoundMessage(DescriptionOf(a.What)));
            } else if (outcome == Outcome::kDigitRow || outcome == Outcome::kOther) {
                host_.Report(
                    BoundOtherMessage(DescriptionOf(a.What), trigger.toStdString(), a.What.Spec));
            }
            digitRow = digitRow || outcome == Outcome::kDigitRow;
        }
        if (digitRow && !keypadAsDigits_) {
            // The digit row is taken from every application: ask again without the keypad keys.
            keypadAsDigits_ = true;
            Reapply();
        }
    }

    BackendHost host_;
    QDBusConnection bus_;
    State state_ = State::kIdle;
    bool enabled_ = true;
    bool applyQueued_ = false;
    bool changed_ = false;         // the bindings changed while a request was out
    bool keypadAsDigits_ = false;  // this desktop binds keypad triggers as the digit row
    int tokenCounter_ = 0;
    QString sessionHandle_;
    QString requestPath_;
    QByteArray responseSlot_;
    std::vector<Binding> bindings_;
    std::vector<Asked> asked_;  // of the session
    std::vector<DesktopKey> desktopKeys_;
};

}  // namespace

std::string NotBoundMessage(const std::string& what) {
    return "The desktop did not bind " + what + "; set it in " + ShortcutSettingsPlace() + ".";
}

std::string BoundOtherMessage(const std::string& what, const std::string& trigger,
                              const HotkeySpec& chosen) {
    return "The desktop bound " + what + " to " + trigger + ", not " + HotkeyName(chosen) +
           "; change it in " + ShortcutSettingsPlace() + ".";
}

std::string KeypadAskedWithoutKeyMessage() {
    return "This desktop would take keypad keys from the digit row of every program, so the "
           "keypad hotkeys were asked for without a key; set them in " +
           ShortcutSettingsPlace() + ".";
}

std::unique_ptr<HotkeyBackend> StartPortalBackend(const BackendHost& host) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return nullptr;
    }
    auto backend = std::make_unique<PortalBackend>(host, bus);
    if (!backend->Open()) {
        return nullptr;
    }
    return backend;
}

}  // namespace hotkeys::detail

namespace hotkeys {

std::string ShortcutSettingsPlace() {
    const std::string desktops =
        ":" + qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString() + ":";
    return desktops.find(":KDE:") != std::string::npos ? "System Settings ▸ Shortcuts ▸ quorvel"
                                                       : "the system's shortcut settings";
}

}  // namespace hotkeys

#include "GlobalHotkeysPortal.moc"
