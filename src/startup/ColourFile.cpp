// SPDX-License-Identifier: MIT
#include "startup/ColourFile.h"

#include "entries/WriteLock.h"
#include "seams/Dialogs.h"
#include "seams/UserMessages.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"

namespace ombrel {

void saveColour(const storage::DataDirectory& dataDirectory, std::int32_t value, Dialogs& dialogs) {
  const auto lock =
      lockForWriting(dataDirectory, dialogs, "The colour was not saved for the next start.");
  if (!lock) return;
  const auto target = dataDirectory.file(storage::kColourFile);
  auto status = storage::replaceFile(target, dataDirectory.file(storage::kColourFileNew),
                                     storage::formatNumberLine(value));
  if (!status)
    dialogs.warn(fileProblem("The colour could not be saved for the next start", target, status));
}

}  // namespace ombrel
