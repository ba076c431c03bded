// SPDX-License-Identifier: MIT
#include "app/TerminalPassword.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "storage/FileDescriptor.h"

namespace ombrel {
namespace {

// The prompt as the window asks it; no blank is needed after it, since what
// is typed is not shown.
constexpr std::string_view kPrompt = "Enter the Password";

// The longest password line taken, the line end not counted: a line must end
// somewhere, whatever is fed to standard input.
constexpr std::size_t kLongestPasswordLine = 4096;

// Signals whose default action ends the program: the terminal gets its echo
// back first.
constexpr std::array kEndingSignals = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

// The terminal while echo is off, for the signal handlers, and its settings
// from before.
int quietTerminal = -1;
termios savedSettings{};
// Our handler of SIGTSTP, put back after each stop.
struct sigaction stopHandler {};
// Set by a stop and continue while the password is asked.
volatile std::sig_atomic_t resumed = 0;

void giveEchoBack() {
  // Flushed: what was typed so far is not left for the shell to read.
  if (quietTerminal >= 0) ::tcsetattr(quietTerminal, TCSAFLUSH, &savedSettings);
}

void setDefault(int signal) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
}

void endWithEchoBack(int signal) {
  giveEchoBack();
  setDefault(signal);
  ::raise(signal);  // blocked in here: it ends the program as this returns
}

// Stops as the default would, with echo on for the shell, and notes on
// continuing that echo must go off again: the shell may have set its own
// modes in between.
void stopWithEchoBack(int signal) {
  const int savedErrno = errno;
  giveEchoBack();
  setDefault(signal);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);  // stopped here until continued
  ::sigprocmask(SIG_BLOCK, &only, nullptr);
  ::sigaction(signal, &stopHandler, nullptr);
  resumed = 1;
  errno = savedErrno;
}

void writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The terminal with echo off and the prompt written, for as long as it
// lives. A signal that ends the program or stops it gives the echo back
// first. A signal the program was started with ignored (`trap '' INT`)
// stays ignored.
class QuietTerminal {
 public:
  explicit QuietTerminal(int terminal) : terminal_(terminal) {
    if (::tcgetattr(terminal, &savedSettings) == 0) quietTerminal = terminal;
    // A stop is let in only while waiting for a key, so that it always cuts
    // the wait short and is never missed between a check and a read.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    ::sigprocmask(SIG_BLOCK, &stop, &waitMask_);
    for (int signal : kEndingSignals) take(signal, endWithEchoBack);
    stopHandler = take(SIGTSTP, stopWithEchoBack);
    ask();
  }

  ~QuietTerminal() {
    giveEchoBack();
    quietTerminal = -1;
    for (const auto& [signal, previous] : taken_)
      if (signal != 0) ::sigaction(signal, &previous, nullptr);
    ::sigprocmask(SIG_SETMASK, &waitMask_, nullptr);
    resumed = 0;
    // The Return typed was not echoed either.
    writeAll(terminal_, "\n");
  }

  QuietTerminal(const QuietTerminal&) = delete;
  QuietTerminal& operator=(const QuietTerminal&) = delete;

  int fd() const { return terminal_; }

  // Waits until a byte can be read. After a stop and continue the prompt is
  // written again and `line`, typed before the stop, is forgotten.
  void awaitByte(std::string& line) {
    for (;;) {
      if (resumed) {
        resumed = 0;
        line.clear();
        ask();
      }
      pollfd wanted{terminal_, POLLIN, 0};
      if (::ppoll(&wanted, 1, nullptr, &waitMask_) >= 0 || errno != EINTR) return;
    }
  }

 private:
  // Returns the handler put in; one inherited as ignored is left alone.
  struct sigaction take(int signal, void (*handler)(int)) {
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
      return previous;
    struct sigaction ours {};
    ours.sa_handler = handler;
    sigfillset(&ours.sa_mask);  // one at a time; no SA_RESTART, so a wait is cut short
    if (::sigaction(signal, &ours, nullptr) == 0) taken_[takenCount_++] = {signal, previous};
    return ours;
  }

  void ask() {
    if (quietTerminal >= 0) {
      termios quiet = savedSettings;
      quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
      ::tcsetattr(terminal_, TCSAFLUSH, &quiet);
    }
    // Only once echo is off: nothing typed after the prompt shows.
    writeAll(terminal_, kPrompt);
  }

  int terminal_;
  sigset_t waitMask_{};
  std::array<std::pair<int, struct sigaction>, kEndingSignals.size() + 1> taken_{};
  std::size_t takenCount_ = 0;
};

// Reads up to the end of the line, a byte at a time, so that nothing after
// the line is taken from the descriptor. No value when the line is longer
// than a password line may be; reading stops there.
std::optional<std::string> readLine(int fd, QuietTerminal* terminal) {
  std::string line;
  char byte;
  for (;;) {
    if (terminal) terminal->awaitByte(line);
    const ssize_t got = ::read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || byte == '\n') break;
    line += byte;
    // One byte more leaves room for the CR of a CR LF line end.
    if (line.size() > kLongestPasswordLine + 1) return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kLongestPasswordLine) return std::nullopt;
  return line;
}

}  // namespace

PasswordAnswer askPasswordOnTerminal() {
  std::optional<std::string> line;
  if (::isatty(STDIN_FILENO)) {
    // The controlling terminal; without one (after setsid) the terminal on
    // standard input, which must not echo the password either.
    const storage::FileDescriptor tty = storage::FileDescriptor::open("/dev/tty", O_RDWR);
    QuietTerminal terminal(tty.valid() ? tty.get() : STDIN_FILENO);
    line = readLine(terminal.fd(), &terminal);
  } else {
    line = readLine(STDIN_FILENO, nullptr);
  }
  if (!line)
    return PasswordAnswer::none(QStringLiteral("The password line is longer than %1 bytes.")
                                    .arg(static_cast<qulonglong>(kLongestPasswordLine)));
  return QString::fromUtf8(line->data(), static_cast<qsizetype>(line->size()));
}

}  // namespace ombrel
