#include "fix/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "frontend/io/command_error.h"
#include "support/descriptor.h"

namespace lexivane::frontend::fix {

namespace {

// What the signal handlers need, set while a Terminal lives. Plain values: a handler may only
// read them and call async-signal-safe functions (tcsetattr, sigaction, raise).
int active_fd = -1;
termios saved_settings;
termios raw_settings;
volatile std::sig_atomic_t was_resumed = 0;

constexpr std::array kEndingSignals = {SIGINT,  SIGTERM, SIGHUP, SIGQUIT, SIGABRT,
                                       SIGSEGV, SIGBUS,  SIGFPE, SIGILL};
std::array<struct sigaction, kEndingSignals.size()> previous_actions;
struct sigaction previous_stop_action;

void Install(int signal, void (*handler)(int), struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, previous);
}

// Puts the terminal back, then lets the signal do what it would have done.
void OnEndingSignal(int signal) {
  if (active_fd >= 0) ::tcsetattr(active_fd, TCSANOW, &saved_settings);
  Install(signal, SIG_DFL, nullptr);
  ::raise(signal);  // delivered when this handler returns, since it is blocked during it
}

void OnStop(int) {
  const int saved_errno = errno;
  if (active_fd >= 0) ::tcsetattr(active_fd, TCSANOW, &saved_settings);
  Install(SIGTSTP, SIG_DFL, nullptr);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  ::sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  ::raise(SIGTSTP);  // stops here until `fg`
  Install(SIGTSTP, OnStop, nullptr);
  if (active_fd >= 0) ::tcsetattr(active_fd, TCSANOW, &raw_settings);
  was_resumed = 1;
  errno = saved_errno;
}

}  // namespace

std::unique_ptr<Terminal> Terminal::Open() {
  const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  if (::tcgetattr(fd, &saved_settings) != 0) {
    ::close(fd);
    return nullptr;
  }
  // Single key presses without echo; Ctrl-C, Ctrl-Z and the output's line ends as usual.
  raw_settings = saved_settings;
  raw_settings.c_lflag &= ~(ICANON | ECHO | IEXTEN);
  raw_settings.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR);
  raw_settings.c_cc[VMIN] = 1;
  raw_settings.c_cc[VTIME] = 0;
  active_fd = fd;
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    Install(kEndingSignals[i], OnEndingSignal, &previous_actions[i]);
  }
  Install(SIGTSTP, OnStop, &previous_stop_action);
  // From here on the destructor puts the terminal and the signals back.
  std::unique_ptr<Terminal> terminal(new Terminal(fd));
  if (::tcsetattr(fd, TCSANOW, &raw_settings) != 0) return nullptr;
  return terminal;
}

Terminal::Terminal(int fd) : fd_(fd) {}

Terminal::~Terminal() {
  ::tcsetattr(fd_, TCSANOW, &saved_settings);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    ::sigaction(kEndingSignals[i], &previous_actions[i], nullptr);
  }
  ::sigaction(SIGTSTP, &previous_stop_action, nullptr);
  active_fd = -1;
  ::close(fd_);
}

void Terminal::Write(std::string_view text) {
  if (const int error = support::WriteAll(fd_, text); error != 0) {
    throw CommandError(std::string("cannot write to the terminal: ") + std::strerror(error));
  }
}

Key Terminal::ReadKey(std::chrono::milliseconds timeout) {
  const auto wait = [&](int ms) {
    pollfd ready{fd_, POLLIN, 0};
    for (;;) {
      const int n = ::poll(&ready, 1, ms);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0)
        throw CommandError(std::string("cannot read the terminal: ") + std::strerror(errno));
      return n > 0;
    }
  };
  const auto read_some = [&](char* into, std::size_t size) {
    for (;;) {
      const ssize_t n = ::read(fd_, into, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw CommandError("the terminal went away");
      return static_cast<std::size_t>(n);
    }
  };

  if (!wait(static_cast<int>(timeout.count()))) return {};
  char first;
  read_some(&first, 1);
  const auto byte = static_cast<unsigned char>(first);
  if (byte == '\r' || byte == '\n') return {Key::Kind::kEnter, {}};
  if (byte == 0x7F || byte == 0x08) return {Key::Kind::kBackspace, {}};
  if (byte == 0x1B) {
    // Esc alone, or the start of a key's escape sequence, which arrives at once with it.
    if (!wait(30)) return {Key::Kind::kEscape, {}};
    char next;
    read_some(&next, 1);
    // CSI (ESC [ parameters final) and SS3 (ESC O final); anything else is Alt with a key.
    if (next == '[' || next == 'O') {
      const bool csi = next == '[';
      while (wait(30)) {
        read_some(&next, 1);
        if (!csi || (next >= 0x40 && next <= 0x7E)) break;
      }
    }
    return {Key::Kind::kOther, {}};
  }
  if (byte < 0x20) return {Key::Kind::kOther, {}};
  Key key{Key::Kind::kText, std::string(1, first)};
  // The rest of a multi-byte UTF-8 character.
  const int more = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
  for (int i = 0; i < more && wait(30); ++i) {
    char next;
    read_some(&next, 1);
    key.text += next;
  }
  return key;
}

bool Terminal::resumed() {
  const bool resumed = was_resumed != 0;
  was_resumed = 0;
  return resumed;
}

}  // namespace lexivane::frontend::fix
