// SPDX-License-Identifier: MIT
#include "password/ChangePassword.h"

#include <QList>

#include "datafolder/FailureReport.h"
#include "datafolder/WriteLock.h"
#include "interfaces/Dialogs.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"
#include "text/StoredText.h"
#include "text/UserMessages.h"

namespace ombrel {

void changePassword(const storage::DataDirectory& dataDirectory, Dialogs& dialogs) {
  QString answer = dialogs.passwordBox("Enter Password:", "Enter Password");
  if (answer.isEmpty()) return;
  // Counted as typed: characters that cannot be stored still count.
  if (answer.toUcs4().size() < 4) {
    dialogs.warn("Password must have at least 4 characters. The password will not be saved!");
    return;
  }
  // Left out, such a character would shorten the password without a word, or
  // empty it so that the next start lets anyone in.
  const StoredText stored = toStored(answer);
  if (!stored.ok()) {
    dialogs.warn(unstorableCharacter(stored.badCharacter, "The password was not changed."));
    return;
  }
  const auto target = dataDirectory.file(storage::kPasswordFile);
  storage::Status status = storage::Status::success();
  {
    const WriteLock lock = WriteLock::take(dataDirectory);
    status = lock.status();
    if (status.ok())
      status =
          storage::replaceFile(target, dataDirectory.file(storage::kPasswordFileNew),
                               storage::formatLine(stored.stored), storage::Permissions::OwnerOnly);
  }
  if (!status.ok())
    report(
        dialogs, status,
        {target, "The new password could not be saved", "The previous password stays in force."});
}

}  // namespace ombrel
