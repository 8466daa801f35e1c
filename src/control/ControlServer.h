// The control server: outside commands (ControlProtocol.h) from the local socket and, when the
// runner turns it on, a TCP port, carried out on the window (ControlTarget.h) from the Qt event
// loop of the main thread. No thread, no lock.
//
//   control::ControlServer server(window, [](const std::string& m) { ShowOnStatusLine(m); });
//   server.OpenLocal();                              // $XDG_RUNTIME_DIR/quorvel/control
//   server.SetTcp({.On = true, .Port = 16834});      // 127.0.0.1 and ::1
//
// Safe under abuse, each connection on its own:
//   - a line over 1 KiB (LineReader::kMaxLine) closes that connection;
//   - at most kMaxClients connections at once: one more is accepted and closed at once;
//   - a turn of the event loop reads at most kReadChunk bytes of a connection, and only when
//     the lines read before are all done, and carries out at most kLinesPerTurn lines; the
//     rest waits for the next turn in the socket's own buffer, so a flood from another
//     process blocks that process, not the window, and takes no memory here;
//   - lines, of all connections together, are carried out at most kLinesPerPace each kPaceMs
//     (twenty thousand a second, a hundred times what an auto-splitter polling every frame
//     sends), so that a flood from another process takes a small share of a core: the rest
//     waits in the socket's buffer and blocks the sender;
//   - run commands, of all connections together, come at most one per kRunSpacingMs (a
//     hundred a second, far above what a runner or an auto-splitter sends, and the menu's
//     lockout ignores repeats within a third of a second anyway), so that a flood of resets,
//     each of which may write the split file, leaves the window free most of the time for
//     the runner's own keys; queries are not held back;
//   - replies a client does not read stop its reading once kMaxPendingReply bytes wait.
// A run command that opens a question in the window (reset) runs the event loop inside it:
// the connection that sent it reads nothing more until it returns.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ControlSockets.h"
#include "ControlTarget.h"

class QSocketNotifier;

namespace control {

class ControlServer : public QObject {
  public:
    static constexpr std::size_t kMaxClients = 16;
    static constexpr std::size_t kReadChunk = 4096;
    static constexpr int kLinesPerTurn = 64;
    static constexpr std::size_t kMaxPendingReply = 16 * 1024;
    static constexpr int kRunSpacingMs = 10;
    static constexpr int kPaceMs = 10;
    static constexpr int kLinesPerPace = 200;

    // report gets each trouble as a line for the window: "Outside commands: another Quorvel
    // window has /run/user/1000/quorvel/control."
    ControlServer(ControlTarget& target, std::function<void(const std::string&)> report);
    ~ControlServer() override;
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Opens the local socket (see ControlSockets.h); false, after a report, when it cannot.
    // Only the window that owns its split file should open it.
    bool OpenLocal(const std::string& path = DefaultSocketPath());
    // True after OpenLocal failed because another window listens on the local socket.
    bool LocalTakenElsewhere() const { return local_.Fd < 0 && local_.Taken; }
    // Opens, moves or closes the TCP port; false, after a report, when it is on and cannot
    // listen (the port is in use). Nothing listens while it is off.
    bool SetTcp(const TcpSettings& settings);
    // Stops listening and closes every connection; the socket file goes.
    void Close();

    std::size_t ClientCount() const { return clients_.size(); }
    // Bytes read and not yet carried out, and replies not yet sent, of every connection.
    std::size_t BufferedBytes() const;
    // Where it listens: the local socket's path, then "127.0.0.1:16834", "[::1]:16834", ...
    std::vector<std::string> Listening() const;

  private:
    struct Client;
    struct Listener;

    void Accept(int listenFd);
    // Carries out what the client has sent, within this turn's limits.
    void Pump(std::uint64_t id);
    void Flush(std::uint64_t id);
    void Send(Client& client, const std::string& reply);
    void Drop(std::uint64_t id);
    void Continue(Client& client);
    // Whether one more line may be carried out in this kPaceMs; WaitForPace takes the client
    // up again once the next one begins.
    bool WithinPace();
    void WaitForPace(Client& client);
    void AddListener(int fd);
    void CloseTcp();

    ControlTarget& target_;
    std::function<void(const std::string&)> report_;
    LocalListener local_;
    std::vector<std::unique_ptr<Listener>> listeners_;  // the local socket first, when open
    TcpSettings tcp_;
    std::map<std::uint64_t, std::unique_ptr<Client>> clients_;
    std::uint64_t nextId_ = 1;
    QElapsedTimer paceClock_;  // since the current kPaceMs began
    int paceLines_ = 0;        // lines carried out in it
    QTimer runSpacing_;        // runs from a run command carried out until the next may be
    std::vector<std::uint64_t> waitingToRun_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace control
