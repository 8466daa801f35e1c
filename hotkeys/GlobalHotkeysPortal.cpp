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

// The session's life: created (asynchronously; the portal answers through a Request object)
// once there are bindings, then bound once. A later change of the bindings closes the session
// and makes it again, since a session takes its shortcuts only once.
//
// Desktops differ in where they take the shortcuts from: some from BindShortcuts, some only
// from CreateSession's options (answering BindShortcuts with an empty list), so both carry
// them. Only the shortcuts that BindShortcuts' answer lists count as bound; every other one is
// reported, with the way out (the system's shortcut settings).
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
        state_ = State::kIdle;
        return true;
    }

    std::string Name() const override { return "portal"; }

    void SetBindings(const std::vector<Binding>& bindings) override {
        bindings_ = bindings;
        if (!applyQueued_) {
            // Bindings made one after the other go to the portal together.
            applyQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                applyQueued_ = false;
                ApplyBindings();
            });
        }
    }

    void SetEnabled(bool enabled) override { enabled_ = enabled; }

  private Q_SLOTS:
    void OnSessionCreated(uint response, const QVariantMap& results) {
        if (!IsCurrentResponse()) {
            return;
        }
        ForgetRequest();
        if (response != 0) {
            state_ = State::kFailed;
            host_.Report(kRefusedMessage);
            return;
        }
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        sessionHandle_ = handle.canConvert<QDBusObjectPath>()
                             ? handle.value<QDBusObjectPath>().path()
                             : handle.toString();
        state_ = State::kReady;
        ApplyBindings();
    }

    void OnBound(uint response, const QVariantMap& results) {
        if (!IsCurrentResponse()) {
            return;
        }
        ForgetRequest();
        if (response != 0) {
            host_.Report(kRefusedMessage);
            return;
        }
        const auto bound =
            qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts")));
        for (const Binding& binding : asked_) {
            const QString id = QString::fromStdString(PortalShortcutId(binding.Id));
            const bool found = std::any_of(bound.begin(), bound.end(),
                                           [&id](const PortalShortcut& s) { return s.Id == id; });
            if (!found) {
                host_.Report(NotBoundMessage(DescriptionOf(binding)));
            }
        }
    }

    // May destroy this backend (through the action): nothing is touched after Fire.
    void OnActivated(const QDBusObjectPath& session, const QString& shortcutId,
                     qulonglong timestamp, const QVariantMap& /*options*/) {
        const int64_t receivedNs = MonotonicNowNs();
        if (!enabled_ || session.path() != sessionHandle_) {
            return;
        }
        const int id = BindingIdFromPortalShortcut(shortcutId.toStdString());
        if (id >= 0) {
            host_.Fire(id, static_cast<uint32_t>(timestamp), receivedNs);
        }
    }

  private:
    enum class State { kIdle, kCreating, kReady, kBound, kFailed };

    // A Response already on its way when its request was given up is still delivered.
    bool IsCurrentResponse() const {
        return calledFromDBus() && !responseSlot_.isEmpty() && message().path() == requestPath_;
    }

    QString NextToken() { return QStringLiteral("quorvel%1").arg(++tokenCounter_); }

    static std::string DescriptionOf(const Binding& binding) {
        return binding.Description.empty() ? HotkeyName(binding.Spec) : binding.Description;
    }

    QList<PortalShortcut> Shortcuts() const {
        QList<PortalShortcut> shortcuts;
        for (const Binding& binding : bindings_) {
            PortalShortcut shortcut;
            shortcut.Id = QString::fromStdString(PortalShortcutId(binding.Id));
            shortcut.Properties.insert(QStringLiteral("description"),
                                       QString::fromStdString(DescriptionOf(binding)));
            const std::string trigger = PortalTrigger(binding.Spec);
            if (!trigger.empty()) {
                shortcut.Properties.insert(QStringLiteral("preferred_trigger"),
                                           QString::fromStdString(trigger));
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

    void CreateSession() {
        state_ = State::kCreating;
        QVariantMap options;
        options.insert(QStringLiteral("session_handle_token"), kSessionToken);
        options.insert(QStringLiteral("shortcuts"), QVariant::fromValue(Shortcuts()));
        Request(QStringLiteral("CreateSession"), {}, options,
                SLOT(OnSessionCreated(uint, QVariantMap)));
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

    void ApplyBindings() {
        switch (state_) {
            case State::kFailed:
            case State::kCreating:  // binds once the session exists
                return;
            case State::kBound:
                CloseSession();
                state_ = State::kIdle;
                [[fallthrough]];
            case State::kIdle:
                if (!bindings_.empty()) {
                    CreateSession();
                }
                return;
            case State::kReady:
                break;
        }
        if (bindings_.empty()) {
            return;
        }
        asked_ = bindings_;
        state_ = State::kBound;
        Request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(sessionHandle_)),
                 QVariant::fromValue(Shortcuts()), QString()},
                {}, SLOT(OnBound(uint, QVariantMap)));
    }

    BackendHost host_;
    QDBusConnection bus_;
    State state_ = State::kIdle;
    bool enabled_ = true;
    bool applyQueued_ = false;
    int tokenCounter_ = 0;
    QString sessionHandle_;
    QString requestPath_;
    QByteArray responseSlot_;
    std::vector<Binding> bindings_;
    std::vector<Binding> asked_;  // of the last BindShortcuts
};

}  // namespace

std::string NotBoundMessage(const std::string& what) {
    return "The desktop did not bind " + what + "; set it in the system's shortcut settings.";
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

#include "GlobalHotkeysPortal.moc"
