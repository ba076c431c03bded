// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include "interfaces/CommandOutput.h"

namespace ombrel {

namespace storage {
class DataDirectory;
class Status;
}  // namespace storage

// What a command has to print and how it ends. Each line is given without
// its line end; the caller prints `out` on standard output and `notes` on
// standard error, escaping control characters as it prints, and ends as
// `result` says, telling its message when it failed.
struct CommandText {
  QStringList out;
  QStringList notes;
  CommandResult result = CommandResult::done();
};

// A command that failed because the entry file could not be read whole.
CommandText entryFileFailure(const storage::DataDirectory& data, const storage::Status& status);

// `text` cut at its line ends (CR LF or LF), for printing line by line.
QStringList linesOf(const QString& text);

}  // namespace ombrel
