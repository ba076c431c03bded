// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>

#include "storage/Status.h"

namespace ombrel::storage {

// An open file descriptor, owned: closed when it goes out of scope, on every
// way out, so that no failure leaves one open. Every file and folder the
// program opens is held this way.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  ~FileDescriptor() { reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  // open(2) with `flags` and close-on-exec, tried again when a signal cuts it
  // short. Not valid() when it failed; errno then says why.
  static FileDescriptor open(const std::filesystem::path& path, int flags, mode_t mode = 0);

  bool valid() const { return fd_ >= 0; }
  int get() const { return fd_; }

  // Closes now and reports the error that a delayed write may only show here.
  Status close();
  // Closes, if open, without a word: for ways out that already failed.
  void reset();

 private:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace ombrel::storage
