// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

namespace ombrel::storage {

// Success, or a failure of one storage step: what kind it is, and the reason
// as a user can read it ("Permission denied", "No space left on device").
// Every step of reading and writing the data files reports through it, so a
// caller that checks it has checked everything.
class Status {
 public:
  enum class Kind {
    Ok,
    Missing,      // the file to read is not there
    ReadFailed,   // the file is there but could not be read
    WriteFailed,  // a file could not be written, flushed, renamed or removed
    Damaged,      // the file ends inside a record, or would swallow what follows
    Busy,         // another program holds the data directory's write lock
  };

  static Status success() { return Status(); }
  // A failed call of the system, by its error number: the reason is the
  // system's text for it. A read that finds no file is Missing.
  static Status readError(int error);
  static Status writeError(int error);
  // The same with a reason of our own.
  static Status readError(std::string reason, int error = 0) {
    return Status(Kind::ReadFailed, std::move(reason), error);
  }
  static Status writeError(std::string reason, int error = 0) {
    return Status(Kind::WriteFailed, std::move(reason), error);
  }
  // `tail`: the bytes after the last whole record, 0 when not known.
  static Status damaged(std::size_t tail = 0) {
    return Status(Kind::Damaged, "The file ends inside a record", 0, tail);
  }
  static Status busy() { return Status(Kind::Busy, "Another program is writing", 0); }

  // A status is read through these, never taken for a truth value: each
  // names what it asks.
  bool ok() const { return !failure_; }
  Kind kind() const { return failure_ ? failure_->kind : Kind::Ok; }
  bool isMissing() const { return kind() == Kind::Missing; }
  bool isReadFailure() const { return kind() == Kind::ReadFailed; }
  bool isWriteFailure() const { return kind() == Kind::WriteFailed; }
  bool isDamaged() const { return kind() == Kind::Damaged; }
  bool isBusy() const { return kind() == Kind::Busy; }

  const std::string& reason() const;
  // The system's error number, 0 when the failure has none.
  int error() const { return failure_ ? failure_->error : 0; }
  std::size_t damagedTail() const { return failure_ ? failure_->tail : 0; }

 private:
  struct Failure {
    Kind kind;
    std::string reason;
    int error;
    std::size_t tail;
  };

  Status() = default;
  Status(Kind kind, std::string reason, int error, std::size_t tail = 0)
      : failure_(std::make_shared<const Failure>(Failure{kind, std::move(reason), error, tail})) {}

  // Success is the null pointer, so that the success a reader returns for
  // every record costs nothing to make, copy or drop. A failure never changes
  // once made, so copies share it.
  std::shared_ptr<const Failure> failure_;
};

}  // namespace ombrel::storage
