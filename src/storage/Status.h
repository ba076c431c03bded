#pragma once

#include <string>
#include <utility>

namespace ombrel::storage {

// Success, or a failure with the reason as a user can read it
// ("Permission denied", "No space left on device").
class Status {
 public:
  static Status success() { return Status(); }
  static Status failure(std::string reason) { return Status(std::move(reason)); }

  bool ok() const { return ok_; }
  const std::string& reason() const { return reason_; }
  explicit operator bool() const { return ok_; }

 private:
  Status() = default;
  explicit Status(std::string reason) : ok_(false), reason_(std::move(reason)) {}

  bool ok_ = true;
  std::string reason_;
};

}  // namespace ombrel::storage
