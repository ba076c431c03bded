// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "importexport/ExportFormat.h"

namespace ombrel {

class CommandOutput;
namespace storage {
class DataDirectory;
}

// True, after telling the user, when something already stands at `path`:
// an export never writes over a file, nor through a link.
bool refuseExistingFile(const std::filesystem::path& path, const QString& shownPath,
                        CommandOutput& output);

// Writes every entry of the data directory's entry file as CSV to a new file
// at `path`, readable by its owner alone, or to the output's standard output
// when there is no path. The whole text is made before anything is created,
// so that an entry file that cannot be read whole leaves no file behind.
// What there is to say goes to `output` as notices, naming the file
// `shownPath`. True when every entry was exported.
bool exportLogins(const storage::DataDirectory& dataDirectory,
                  const std::optional<std::filesystem::path>& path, const QString& shownPath,
                  ExportFormat format, CommandOutput& output);

}  // namespace ombrel
