// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

// What the command line asks for. The program works on the data files of its
// working directory and takes no arguments; the only options are the two that
// every command answers without a display.
struct CommandLine {
  enum class Action { Run, Help, Version, Usage };
  Action action = Action::Run;
  // For Usage: what was wrong, e.g. "unrecognized option '--x'".
  std::string error;
};

// Reads the arguments after the program name. Any unknown option or any
// argument at all besides --help/-h and --version is a usage error, even next
// to --help, so that a mistyped command never starts the window.
CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The texts printed for --help (to stdout), for a usage error (after the
// error, to stderr) and for --version (to stdout); each ends with a line end.
std::string helpText();
std::string usageText();
std::string versionText();

}  // namespace ombrel
