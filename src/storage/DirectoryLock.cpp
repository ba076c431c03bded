// SPDX-License-Identifier: MIT
#include "storage/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <utility>

namespace ombrel::storage {

Status DirectoryLock::tryLock(const std::filesystem::path& directory) {
  unlock();
  const std::filesystem::path path = directory.empty() ? std::filesystem::path(".") : directory;
  FileDescriptor folder = FileDescriptor::open(path, O_RDONLY | O_DIRECTORY);
  if (!folder.valid()) return Status::writeError(errno);
  int result;
  do {
    result = ::flock(folder.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return errno == EWOULDBLOCK ? Status::busy() : Status::writeError(errno);
  folder_ = std::move(folder);
  return Status::success();
}

// Closing the only descriptor releases the lock.
void DirectoryLock::unlock() { folder_.reset(); }

}  // namespace ombrel::storage
