// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>

namespace ombrel {

class CommandOutput;
namespace storage {
class DataDirectory;
}

// Imports the logins of the CSV file at `path` into the entry file of the
// data directory, in one rewrite under the write lock as New adds an entry:
// a crash leaves the old file or the new one, never part of an import. The
// report goes to `output`, naming the file `shownPath`. True when every login
// was imported (renamed ones and those already there included); false when
// one was skipped or nothing could be imported.
bool importLogins(const storage::DataDirectory& dataDirectory, const std::filesystem::path& path,
                  const QString& shownPath, CommandOutput& output);

}  // namespace ombrel
