// SPDX-License-Identifier: MIT
#include "password/PasswordGate.h"

#include <string>

#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"
#include "text/StoredText.h"
#include "text/UserMessages.h"

namespace ombrel {

GateOutcome checkMasterPassword(const storage::DataDirectory& data,
                                const std::function<PasswordAnswer()>& askPassword) {
  const auto passwordFile = data.file(storage::kPasswordFile);
  if (!storage::isPresentFile(passwordFile)) return {PasswordCheck::MissingFile, {}};

  std::string bytes;
  // Taking a pw.dat that cannot be read for an empty one would let an empty
  // answer in on a disk error, and tell the right password it is wrong.
  if (const storage::Status read = storage::readWholeFile(passwordFile, bytes); !read.ok()) {
    if (read.isMissing()) return {PasswordCheck::MissingFile, {}};  // gone since the test
    return {PasswordCheck::Unreadable,
            fileProblem(QStringLiteral("The password file could not be read"), passwordFile, read) +
                QStringLiteral("\n\nThis program will end now.")};
  }
  const std::string_view storedLine = storage::firstLine(bytes);
  if (storedLine == kNoPasswordMarker) return {PasswordCheck::NoPassword, {}};
  const PasswordAnswer answer = askPassword();
  if (!answer.text) return {PasswordCheck::NoAnswer, answer.problem};
  // Characters that cannot be shifted are left out, just as when the password
  // was set, so both sides compare the same way.
  return {
      toStored(*answer.text).stored == storedLine ? PasswordCheck::Accepted : PasswordCheck::Wrong,
      {}};
}

}  // namespace ombrel
