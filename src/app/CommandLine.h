// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "audit/ShowCommands.h"
#include "importexport/CsvFormats.h"

namespace ombrel {

// What the command line asks for. The program works on the data files of its
// working directory. Without arguments it opens the window; the options are
// answered without one: --help and --version, the import and export of
// logins as CSV files, and the commands that read the entries.
struct CommandLine {
  enum class Action { Run, Help, Version, Usage, Import, Export, List, Show, Report, CheckPwned };
  Action action = Action::Run;
  // For Usage: what was wrong, e.g. "unrecognized option '--x'".
  std::string error;
  // For Import, Export and CheckPwned: the file as given, byte for byte; "-"
  // is standard output for Export. For Show: the name.
  std::string file;
  const CsvFormat* format = &defaultExportFormat();
  ShownField field = ShownField::All;
};

// Reads the arguments after the program name. Any unknown option, any
// argument that is not an option's value, a missing value, an unknown format
// name and options that do not go together are usage errors, even next to
// --help, so that a mistyped command never starts the window. --help wins
// over --version, and both over the commands.
CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The texts printed for --help (to stdout), for a usage error (after the
// error, to stderr) and for --version (to stdout); each ends with a line end.
std::string helpText();
std::string usageText();
std::string versionText();

}  // namespace ombrel
