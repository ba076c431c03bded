// SPDX-License-Identifier: MIT
#include "startup/ColourFile.h"

#include "entries/FailureReport.h"
#include "entries/WriteLock.h"
#include "seams/Dialogs.h"
#include "seams/UserMessages.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"

namespace ombrel {

void saveColour(const storage::DataDirectory& dataDirectory, std::int32_t value, Dialogs& dialogs) {
  const auto target = dataDirectory.file(storage::kColourFile);
  storage::Status status = storage::Status::success();
  {
    const WriteLock lock = WriteLock::take(dataDirectory);
    status = lock.status();
    if (status.ok())
      status = storage::replaceFile(target, dataDirectory.file(storage::kColourFileNew),
                                    storage::formatNumberLine(value));
  }
  if (!status.ok())
    report(dialogs, status,
           {target, "The colour could not be saved for the next start",
            "The window keeps the colour until Ombrel ends."});
}

}  // namespace ombrel
