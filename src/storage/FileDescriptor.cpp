// SPDX-License-Identifier: MIT
#include "storage/FileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace ombrel::storage {

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileDescriptor FileDescriptor::open(const std::filesystem::path& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return FileDescriptor(fd);
}

Status FileDescriptor::close() {
  const int fd = std::exchange(fd_, -1);
  return ::close(fd) == 0 ? Status::success() : Status::writeError(errno);
}

void FileDescriptor::reset() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

}  // namespace ombrel::storage
