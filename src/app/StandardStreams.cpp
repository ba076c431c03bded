// SPDX-License-Identifier: MIT
#include "app/StandardStreams.h"

#include <cerrno>
#include <cstdio>

namespace ombrel {
namespace {

void printLine(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void StandardStreams::report(const QString& line) { printLine(stdout, line); }

void StandardStreams::notice(const QString& text) { printLine(stderr, text); }

storage::Status StandardStreams::writeData(std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0)
    return storage::Status::writeError(errno != 0 ? errno : EIO);
  return storage::Status::success();
}

}  // namespace ombrel
