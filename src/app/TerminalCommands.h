// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace ombrel {

struct CommandLine;

// Runs a command of the command line on the data directory the window would
// use (the working directory), behind the master password, and returns the
// exit status. A relative FILE is taken from $OMBREL_START_DIR, the folder
// the `ombrel` command was started in, when it is set.
int runCommand(const CommandLine& commandLine);

}  // namespace ombrel
