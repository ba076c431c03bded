// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>

#include "storage/Status.h"

namespace ombrel {

class Dialogs;

// What a command was doing, for the message that tells the user why it could
// not do it.
struct Task {
  std::filesystem::path file;  // the data file it reads or replaces
  QString writeFailure;        // what a failed write means: "The entry file could not be rewritten"
  QString consequence;         // what that means for the user: "Nothing was saved."
  QString readFailure = QStringLiteral("The entry file could not be read");
};

// The one message for every way a command can fail on the data files, naming
// the file (or folder) and the reason, then the consequence: another program
// kept the write lock, the file ends inside an entry, it could not be read,
// or it could not be written.
QString failureMessage(const storage::Status& status, const Task& task);

// Shows failureMessage() as a warning. Commands call it once whatever they
// held is released, so that another window waiting for the write lock is not
// kept waiting while the user reads.
void report(Dialogs& dialogs, const storage::Status& status, const Task& task);

}  // namespace ombrel
