// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#ifndef OMBREL_VERSION
#error "OMBREL_VERSION must be defined by the build"
#endif

namespace ombrel {

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments) {
  bool help = false;
  bool version = false;
  bool optionsEnded = false;
  for (std::string_view argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
      help = true;
    } else if (!optionsEnded && argument == "--version") {
      version = true;
    } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
      return {CommandLine::Action::Usage, "unrecognized option '" + std::string(argument) + "'"};
    } else {
      return {CommandLine::Action::Usage, "unexpected argument '" + std::string(argument) + "'"};
    }
  }
  if (help) return {CommandLine::Action::Help, {}};
  if (version) return {CommandLine::Action::Version, {}};
  return {};
}

std::string usageText() { return "Usage: ombrel [--help | --version]\n"; }

std::string helpText() {
  return usageText() +
         "\n"
         "Keeps web-site logins behind a master password. The program works on the\n"
         "data files in its working directory (passwords.dat, pw.dat, pwclr.dat,\n"
         "help.htm); the ombrel command on the PATH prepares the data directory and\n"
         "starts it there.\n"
         "\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "\n"
         "The files are shift-encoded, not encrypted: keep them private.\n";
}

std::string versionText() { return "ombrel " OMBREL_VERSION "\n"; }

}  // namespace ombrel
