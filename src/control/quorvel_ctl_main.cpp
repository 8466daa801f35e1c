// quorvel-ctl COMMAND [ARG]: one outside command to the running Quorvel window over its local
// socket, for a key bound in the desktop's own shortcut settings:
//   quorvel-ctl startorsplit        -> (nothing), exit 0 once the window has taken it
//   quorvel-ctl getcurrenttime      -> 00:01:05.2300000
//   quorvel-ctl getdelta "Personal Best"
// Exit status: 0 done, 1 Quorvel is not running or did not answer, 2 bad usage. Plain POSIX.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "ControlProtocol.h"
#include "ControlSockets.h"
#include "LineReader.h"

namespace {

constexpr int kAnswerTimeoutMs = 5000;

void PrintUsage(std::FILE* to, bool commands) {
    std::fputs("usage: quorvel-ctl COMMAND [ARG]\n", to);
    if (!commands) {
        std::fputs("Try 'quorvel-ctl --help' for the commands.\n", to);
        return;
    }
    std::fputs(
        "Sends one command to the Quorvel window that has its split file open, and prints the\n"
        "reply. Exit status: 0 done, 1 Quorvel is not running or did not answer, 2 bad usage.\n",
        to);
    bool run = true;
    std::fputs("\nRun commands (the window runs its menu command; no reply):\n", to);
    for (const control::CommandInfo& command : control::Commands()) {
        if (run && command.Replies) {
            run = false;
            std::fputs("\nQueries (\"-\" when there is no such time or name):\n", to);
        }
        const std::string usage = std::string(command.Name) +
                                  (command.Argument[0] != '\0' ? " [" : "") + command.Argument +
                                  (command.Argument[0] != '\0' ? "]" : "");
        std::fprintf(to, "  %-36s %s\n", usage.c_str(), command.Help);
    }
}

int BadUsage(const char* why) {
    std::fprintf(stderr, "quorvel-ctl: %s\n", why);
    PrintUsage(stderr, /*commands=*/false);
    return 2;
}

bool SendAll(int fd, const std::string& text) {
    for (std::size_t sent = 0; sent < text.size();) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// The next reply line, or false when none comes in time.
bool ReadReply(int fd, control::LineReader& reader, std::string* line) {
    for (;;) {
        const control::LineReader::Result next = reader.Next();
        if (next.What == control::LineReader::Status::kLine) {
            *line = std::string(next.Line);
            return true;
        }
        if (next.What == control::LineReader::Status::kTooLong) {
            return false;
        }
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, kAnswerTimeoutMs) <= 0) {
            return false;
        }
        char buffer[4096];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return false;
        }
        reader.Append({buffer, static_cast<std::size_t>(got)});
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout, /*commands=*/true);
        return 0;
    }
    if (argc < 2 || argc > 3) {
        return BadUsage(argc < 2 ? "no command given" : "one command and at most one argument");
    }
    const control::CommandInfo* command = control::FindCommand(argv[1]);
    if (command == nullptr) {
        return BadUsage((std::string("unknown command '") + argv[1] + "'").c_str());
    }
    const std::string argument = argc == 3 ? argv[2] : "";
    if (argc == 3 && command->Argument[0] == '\0') {
        return BadUsage((std::string(command->Name) + " takes no argument").c_str());
    }
    if (argument.find_first_of("\r\n") != std::string::npos ||
        argument.size() + std::strlen(command->Name) + 1 > control::LineReader::kMaxLine ||
        (argc == 3 && (argument.empty() || argument.front() == ' '))) {
        return BadUsage("the argument must be one line of text, not starting with a space");
    }

    const std::string path = control::DefaultSocketPath();
    const int fd = control::ConnectLocal(path);
    if (fd < 0) {
        if (errno == EPERM) {
            std::fprintf(stderr, "quorvel-ctl: %s is not the runner's own; not connecting\n",
                         path.c_str());
        }
        std::fputs("Quorvel is not running\n", stderr);
        return 1;
    }
    std::string line = std::string(command->Name) + (argc == 3 ? " " + argument : "") + "\r\n";
    // A run command has no reply: the ping after it answers once the window has taken it.
    if (!command->Replies) {
        line += "ping\r\n";
    }
    control::LineReader reader;
    std::string reply;
    const bool answered = SendAll(fd, line) && ReadReply(fd, reader, &reply);
    ::close(fd);
    if (!answered) {
        std::fputs("quorvel-ctl: Quorvel did not answer\n", stderr);
        return 1;
    }
    if (command->Replies) {
        std::printf("%s\n", reply.c_str());
    }
    return 0;
}
