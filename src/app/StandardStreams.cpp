// SPDX-License-Identifier: MIT
#include "app/StandardStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace ombrel {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendEscaped(std::string& out, char32_t c) {
  out += "\\x";
  out += kHex[(c >> 4) & 0xF];
  out += kHex[c & 0xF];
}

// C0 and DEL; C1 is met as its UTF-8 form, 0xC2 then 0x80 to 0x9F.
bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// Escapes the control characters of the UTF-8 text; `keep` says which line
// ends stand.
template <typename Keep>
std::string escaped(std::string_view utf8, const Keep& keep) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      appendEscaped(out, static_cast<unsigned char>(utf8[++i]));  // a C1 control
    } else if (isControl(byte) && !keep(i)) {
      appendEscaped(out, byte);
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

// Cut at a character's start, so that the message stays UTF-8.
std::string cut(std::string text) {
  if (text.size() <= kMaxMessageBytes) return text;
  constexpr std::string_view kMore = "...";
  std::size_t end = kMaxMessageBytes - kMore.size();
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text += kMore;
}

void print(std::FILE* stream, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

std::string printableMessage(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  return cut(escaped(bytes, [&](std::size_t i) { return bytes[i] == '\n'; }));
}

std::string printableRecord(std::string_view utf8) {
  return escaped(utf8, [&](std::size_t i) { return i + 1 == utf8.size() && utf8[i] == '\n'; });
}

StandardStreams::StandardStreams() : dataOnTerminal_(::isatty(STDOUT_FILENO) != 0) {}

void StandardStreams::report(const QString& line) { print(stdout, printableMessage(line)); }

void StandardStreams::notice(const QString& text) { print(stderr, printableMessage(text)); }

storage::Status StandardStreams::writeData(std::string_view record) {
  const std::string shown = dataOnTerminal_ ? printableRecord(record) : std::string();
  const std::string_view bytes = dataOnTerminal_ ? std::string_view(shown) : record;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
    return storage::Status::writeError(errno != 0 ? errno : EIO);
  return storage::Status::success();
}

storage::Status StandardStreams::flushData() {
  errno = 0;
  if (std::fflush(stdout) != 0) return storage::Status::writeError(errno != 0 ? errno : EIO);
  return storage::Status::success();
}

}  // namespace ombrel
