// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "interfaces/CommandOutput.h"

namespace ombrel {

struct CsvFormat;
namespace storage {
class DataDirectory;
}

// Failed, with the message, when something already stands at `path`: an
// export never writes over a file, nor through a link.
CommandResult refuseExistingFile(const std::filesystem::path& path, const QString& shownPath);

// Writes every entry of the data directory's entry file as CSV to a new file
// at `path`, readable by its owner alone, or to the output's standard output
// when there is no path. The whole text is made before anything is created,
// so that an entry file that cannot be read whole leaves no file behind.
// What there is to say goes to `output` as a notice, naming the file
// `shownPath`. Done when every entry was exported.
CommandResult exportLogins(const storage::DataDirectory& dataDirectory,
                           const std::optional<std::filesystem::path>& path,
                           const QString& shownPath, const CsvFormat& format,
                           CommandOutput& output);

}  // namespace ombrel
