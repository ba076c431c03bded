// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace ombrel {

struct CsvFormat;

// The import and export of the command line, on the data directory the
// window would use (the working directory), behind the master password. A
// relative FILE is taken from $OMBREL_START_DIR, the folder the `ombrel`
// command was started in, when it is set. Each returns the exit status: 0
// when every login was imported or exported, 1 otherwise.
int runImport(const std::string& file);
int runExport(const std::string& file, const CsvFormat& format);

}  // namespace ombrel
