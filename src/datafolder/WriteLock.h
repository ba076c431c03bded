// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <chrono>

#include "storage/DirectoryLock.h"
#include "storage/Status.h"

namespace ombrel {

namespace storage {
class DataDirectory;
}

// The data directory's write lock, held for one command's read, rewrite and
// rename, and released when this goes out of scope.
class WriteLock {
 public:
  // Takes the lock. While another program holds it, waits for it a few
  // seconds with the window still painting (but taking no input, so no second
  // command starts); past that, the status is Busy and the command must change
  // nothing. A folder that cannot be locked at all (not readable) is written
  // unlocked, as before locking existed.
  static WriteLock take(const storage::DataDirectory& dataDirectory);

  const storage::Status& status() const { return status_; }

 private:
  storage::DirectoryLock lock_;
  storage::Status status_ = storage::Status::success();
};

// How long a command waits for another program's lock; tests shorten it.
std::chrono::milliseconds writeLockPatience();
void setWriteLockPatience(std::chrono::milliseconds patience);

}  // namespace ombrel
