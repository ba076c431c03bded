// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace ombrel {

namespace storage {
class DataDirectory;
class Status;
}  // namespace storage

// Exit statuses of the commands that read the entries: a check that found
// something ends differently from one that found nothing, so that scripts
// can act on it without reading the text.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFound = 3;

// What a command has to print and how it ends. Each line is given without
// its line end; the caller prints `out` on standard output and `err` on
// standard error, escaping control characters as it prints.
struct CommandText {
  QStringList out;
  QStringList err;
  int exitStatus = kExitDone;
};

// The message for an entry file that could not be read whole, on standard
// error, ending the command with kExitFailed.
CommandText entryFileFailure(const storage::DataDirectory& data, const storage::Status& status);

// `text` cut at its line ends (CR LF or LF), for printing line by line.
QStringList linesOf(const QString& text);

}  // namespace ombrel
