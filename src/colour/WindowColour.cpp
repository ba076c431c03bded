// SPDX-License-Identifier: MIT
#include "colour/WindowColour.h"

#include <string>

#include "datafolder/FailureReport.h"
#include "datafolder/WriteLock.h"
#include "interfaces/WindowState.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"

namespace ombrel {

void applySavedColour(WindowState& window, const storage::DataDirectory& dataDirectory) {
  std::string bytes;
  if (!storage::readWholeFile(dataDirectory.file(storage::kColourFile), bytes).ok()) return;
  // A missing, empty or non-numeric colour file keeps the design colour, white:
  // black would hide the labels' black texts.
  if (const auto colour = storage::readNumberField(bytes)) window.setBackgroundColour(*colour);
}

void chooseColour(WindowState& window, const storage::DataDirectory& dataDirectory,
                  std::int32_t value, Dialogs& dialogs) {
  window.setBackgroundColour(value);
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
