// SPDX-License-Identifier: MIT
#include "app/TerminalPassword.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <string_view>

#include "storage/FileDescriptor.h"

namespace ombrel {
namespace {

// The prompt as the window asks it; no blank is needed after it, since what
// is typed is not shown.
constexpr std::string_view kPrompt = "Enter the Password";

// The terminal while echo is off, so that a signal that ends the program
// first gives the user their echo back.
int quietTerminal = -1;
termios savedSettings{};

void restoreEcho(int signal) {
  if (quietTerminal >= 0) ::tcsetattr(quietTerminal, TCSAFLUSH, &savedSettings);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Reads up to the end of the line, a byte at a time, so that nothing after
// the line is taken from the descriptor.
std::string readLine(int fd) {
  std::string line;
  char byte;
  for (;;) {
    const ssize_t got = ::read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || byte == '\n') break;
    line += byte;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string readWithoutEcho(int terminal) {
  termios settings{};
  const bool quiet = ::tcgetattr(terminal, &settings) == 0;
  if (quiet) {
    savedSettings = settings;
    quietTerminal = terminal;
    for (int signal : {SIGINT, SIGTERM, SIGQUIT, SIGHUP, SIGTSTP}) std::signal(signal, restoreEcho);
    settings.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(terminal, TCSAFLUSH, &settings);
  }
  // Only once echo is off: nothing typed after the prompt shows.
  writeAll(terminal, kPrompt);
  std::string answer = readLine(terminal);
  if (quiet) {
    ::tcsetattr(terminal, TCSAFLUSH, &savedSettings);
    quietTerminal = -1;
    for (int signal : {SIGINT, SIGTERM, SIGQUIT, SIGHUP, SIGTSTP}) std::signal(signal, SIG_DFL);
  }
  // The Return typed was not echoed either.
  writeAll(terminal, "\n");
  return answer;
}

}  // namespace

QString askPasswordOnTerminal() {
  std::string answer;
  const storage::FileDescriptor terminal = ::isatty(STDIN_FILENO)
                                               ? storage::FileDescriptor::open("/dev/tty", O_RDWR)
                                               : storage::FileDescriptor();
  answer = terminal.valid() ? readWithoutEcho(terminal.get()) : readLine(STDIN_FILENO);
  return QString::fromUtf8(answer.data(), static_cast<qsizetype>(answer.size()));
}

}  // namespace ombrel
