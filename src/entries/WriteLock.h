// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <chrono>
#include <optional>

#include "storage/DirectoryLock.h"

namespace ombrel {

class Dialogs;
namespace storage {
class DataDirectory;
}

// Takes the data directory's write lock for one command's read, rewrite and
// rename. While another program holds it, waits for it a few seconds with the
// window still painting (but taking no input, so no second command starts);
// past that, tells the user that another Ombrel is writing, followed by
// `consequence`, and gives nothing: the command must then change nothing.
// A folder that cannot be locked at all (not readable) is written unlocked,
// as before locking existed.
std::optional<storage::DirectoryLock> lockForWriting(const storage::DataDirectory& dataDirectory,
                                                     Dialogs& dialogs, const QString& consequence);

// How long a command waits for another program's lock; tests shorten it.
std::chrono::milliseconds writeLockPatience();
void setWriteLockPatience(std::chrono::milliseconds patience);

// True while a command waits for the lock: the events handled meanwhile must
// not start work on the data files of their own.
bool waitingForWriteLock();

}  // namespace ombrel
