// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "storage/FileDescriptor.h"
#include "storage/Status.h"

namespace ombrel::storage {

// An exclusive advisory lock on a folder, held while a program rewrites the
// files in it, so that two programs sharing the folder never both read the
// old version of a file and the second rename drops the first one's change.
// The folder itself is locked: a file renamed over another never replaces
// it, and a sync tool never copies it. The lock dies with the process that
// holds it, so a crashed program never leaves it behind. It is local to one
// machine: a sync tool or a network file system does not carry it.
class DirectoryLock {
 public:
  // Takes the lock without waiting: Busy while another holder has it; any
  // other failure means the folder could not be opened at all.
  Status tryLock(const std::filesystem::path& directory);

  void unlock();

 private:
  FileDescriptor folder_;
};

}  // namespace ombrel::storage
