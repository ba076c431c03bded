// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

namespace ombrel::storage {

// Success, or a failure with the reason as a user can read it
// ("Permission denied", "No space left on device").
class Status {
 public:
  static Status success() { return Status(); }
  // `error` is the system's error number when there is one, so that callers
  // can tell a missing file from one that cannot be read.
  static Status failure(std::string reason, int error = 0) {
    return Status(std::move(reason), error);
  }

  bool ok() const { return ok_; }
  const std::string& reason() const { return reason_; }
  int error() const { return error_; }
  explicit operator bool() const { return ok_; }

 private:
  Status() = default;
  Status(std::string reason, int error) : ok_(false), reason_(std::move(reason)), error_(error) {}

  bool ok_ = true;
  std::string reason_;
  int error_ = 0;
};

}  // namespace ombrel::storage
