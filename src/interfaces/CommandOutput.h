// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string_view>
#include <utility>

#include "storage/Status.h"

namespace ombrel {

// Where the commands of the command line speak to the user. The program
// prints what they say; tests keep it instead.
class CommandOutput {
 public:
  virtual ~CommandOutput() = default;

  // One line of a command's report (standard output).
  virtual void report(const QString& line) = 0;

  // A message that is not part of the report: an error that stops the
  // command, or what the export has to say (standard error, so that an export
  // to standard output carries nothing but the CSV).
  virtual void notice(const QString& text) = 0;

  // One record of data for standard output (an exported row, a printed
  // value), ending with its line end. The output may hold it back until
  // flushData(), which reports whether everything arrived.
  virtual storage::Status writeData(std::string_view record) = 0;
  virtual storage::Status flushData() = 0;
};

// How a command of the command line ended, read through named predicates,
// with the message that says why it failed. The exit status follows from it.
class CommandResult {
 public:
  static CommandResult done() { return CommandResult(Kind::Done); }
  // Done, but something was left out (a login skipped): the report says what.
  static CommandResult incomplete() { return CommandResult(Kind::Incomplete); }
  // Done, and found what the user should act on (a weak or leaked password).
  static CommandResult found() { return CommandResult(Kind::Found); }
  static CommandResult failed(QString message) {
    return CommandResult(Kind::Failed, std::move(message));
  }

  bool ok() const { return kind_ == Kind::Done; }
  bool isIncomplete() const { return kind_ == Kind::Incomplete; }
  bool foundSomething() const { return kind_ == Kind::Found; }
  bool isFailure() const { return kind_ == Kind::Failed; }
  // For a failure: what to tell the user.
  const QString& message() const { return message_; }

  // 0 when all went well, 3 when something was found, 1 otherwise.
  int exitStatus() const {
    switch (kind_) {
      case Kind::Done:
        return 0;
      case Kind::Found:
        return 3;
      case Kind::Incomplete:
      case Kind::Failed:
        break;
    }
    return 1;
  }

 private:
  enum class Kind { Done, Incomplete, Found, Failed };
  explicit CommandResult(Kind kind, QString message = QString())
      : kind_(kind), message_(std::move(message)) {}

  Kind kind_;
  QString message_;
};

}  // namespace ombrel
