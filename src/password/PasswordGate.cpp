// SPDX-License-Identifier: MIT
#include "password/PasswordGate.h"

#include <string>

#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"
#include "text/StoredText.h"

namespace ombrel {

PasswordCheck checkMasterPassword(const storage::DataDirectory& data,
                                  const std::function<QString()>& askPassword) {
  const auto passwordFile = data.file(storage::kPasswordFile);
  if (!storage::isPresentFile(passwordFile)) return PasswordCheck::MissingFile;

  std::string bytes;
  // An unreadable pw.dat counts as an empty one: only an empty answer passes.
  if (!storage::readWholeFile(passwordFile, bytes).ok()) bytes.clear();
  const std::string_view storedLine = storage::firstLine(bytes);
  if (storedLine == kNoPasswordMarker) return PasswordCheck::NoPassword;
  // Characters that cannot be shifted are left out, just as when the password
  // was set, so both sides compare the same way.
  return toStored(askPassword()).stored == storedLine ? PasswordCheck::Accepted
                                                      : PasswordCheck::Wrong;
}

}  // namespace ombrel
