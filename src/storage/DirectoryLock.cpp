// SPDX-License-Identifier: MIT
#include "storage/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace ombrel::storage {

DirectoryLock::~DirectoryLock() { unlock(); }

DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept {
  if (this != &other) {
    unlock();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Status DirectoryLock::tryLock(const std::filesystem::path& directory) {
  unlock();
  const std::filesystem::path path = directory.empty() ? std::filesystem::path(".") : directory;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Status::writeError(errno);
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const int error = errno;
    ::close(fd);
    return Status::writeError(error);
  }
  fd_ = fd;
  return Status::success();
}

void DirectoryLock::unlock() {
  if (fd_ >= 0) {
    ::close(fd_);  // closing the only descriptor releases the lock
    fd_ = -1;
  }
}

}  // namespace ombrel::storage
