// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>

#include "interfaces/CommandOutput.h"

namespace ombrel {

namespace storage {
class DataDirectory;
}

// Imports the logins of the CSV file at `path` into the entry file of the
// data directory, in one rewrite under the write lock as New adds an entry:
// a crash leaves the old file or the new one, never part of an import. The
// report goes to `output`, naming the file `shownPath`. Done when every login
// was imported (renamed ones and those already there included), incomplete
// when one was skipped, failed when nothing could be imported.
CommandResult importLogins(const storage::DataDirectory& dataDirectory,
                           const std::filesystem::path& path, const QString& shownPath,
                           CommandOutput& output);

}  // namespace ombrel
