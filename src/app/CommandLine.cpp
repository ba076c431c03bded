// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <optional>

#ifndef OMBREL_VERSION
#error "OMBREL_VERSION must be defined by the build"
#endif

namespace ombrel {
namespace {

using Action = CommandLine::Action;

CommandLine usage(std::string error) { return {Action::Usage, std::move(error), {}, {}}; }

// Reads the arguments in order, remembering what each option asked for.
class Parser {
 public:
  explicit Parser(const std::vector<std::string_view>& arguments) : arguments_(arguments) {}

  // The first mistake, or nothing when every argument was understood.
  std::optional<std::string> read() {
    bool optionsEnded = false;
    for (next_ = 0; next_ < arguments_.size();) {
      const std::string_view argument = arguments_[next_++];
      std::optional<std::string> mistake;
      if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
        mistake = "unexpected argument '" + std::string(argument) + "'";
      } else if (argument == "--") {
        optionsEnded = true;
      } else if (argument == "--help" || argument == "-h") {
        help_ = true;
      } else if (argument == "--version") {
        version_ = true;
      } else {
        mistake = readValueOption(argument);
      }
      if (mistake) return mistake;
    }
    if (format_ && transfer_ != Action::Export)
      return std::string("option '--format' applies to --export only");
    return std::nullopt;
  }

  CommandLine result() const {
    if (help_) return {Action::Help, {}, {}, {}};
    if (version_) return {Action::Version, {}, {}, {}};
    if (transfer_ == Action::Run) return {};
    return {transfer_, {}, file_, format_.value_or(ExportFormat::KeePassXC)};
  }

 private:
  // --import FILE, --export FILE and --format NAME, each also as --name=VALUE.
  std::optional<std::string> readValueOption(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    if (name != "--import" && name != "--export" && name != "--format")
      return "unrecognized option '" + std::string(argument) + "'";
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
    } else if (next_ < arguments_.size()) {
      value = arguments_[next_++];
    }
    if (value.empty()) return "option '" + std::string(name) + "' requires an argument";
    if (name == "--format") return readFormat(value);
    if (transfer_ != Action::Run) return std::string("give one --import or one --export");
    transfer_ = name == "--import" ? Action::Import : Action::Export;
    // Standard input carries the master password when it is not a terminal.
    if (transfer_ == Action::Import && value == "-")
      return std::string("--import reads a file, not standard input");
    file_ = value;
    return std::nullopt;
  }

  std::optional<std::string> readFormat(std::string_view value) {
    if (format_) return std::string("option '--format' given twice");
    format_ = exportFormatNamed(value);
    if (!format_)
      return "unknown format '" + std::string(value) + "' (keepassxc, bitwarden or chrome)";
    return std::nullopt;
  }

  const std::vector<std::string_view>& arguments_;
  std::size_t next_ = 0;
  bool help_ = false;
  bool version_ = false;
  Action transfer_ = Action::Run;
  std::string file_;
  std::optional<ExportFormat> format_;
};

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments) {
  Parser parser(arguments);
  if (std::optional<std::string> mistake = parser.read()) return usage(std::move(*mistake));
  return parser.result();
}

std::string usageText() {
  return "Usage: ombrel [--help | --version]\n"
         "       ombrel --import FILE\n"
         "       ombrel --export FILE [--format keepassxc|bitwarden|chrome]\n";
}

std::string helpText() {
  return usageText() +
         "\n"
         "Keeps web-site logins behind a master password. The program works on the\n"
         "data files in its working directory (passwords.dat, pw.dat, pwclr.dat,\n"
         "help.htm); the ombrel command on the PATH prepares the data directory and\n"
         "starts it there. Without options it opens the window.\n"
         "\n"
         "  -h, --help         print this help and exit\n"
         "      --version      print the version and exit\n"
         "      --import FILE  add the logins of a CSV file exported by KeePassXC,\n"
         "                     Bitwarden, 1Password, LastPass, Firefox or Chrome (or\n"
         "                     any CSV file with url, username and password columns);\n"
         "                     the header tells which\n"
         "      --export FILE  write every entry to a new CSV file, or to standard\n"
         "                     output when FILE is -\n"
         "      --format NAME  the export's format: keepassxc (the default),\n"
         "                     bitwarden or chrome\n"
         "\n"
         "Both commands ask for the master password, if one is set: on the terminal,\n"
         "or as one line on standard input when that is not a terminal. A relative\n"
         "FILE is taken from $OMBREL_START_DIR when set, else from the working\n"
         "directory. The import's report goes to standard output; the export writes\n"
         "the file readable by its owner only, never over an existing one, and the\n"
         "file holds every password in plain text.\n"
         "\n"
         "Exit status: 0 when all went well, 1 on an error or when a login was\n"
         "skipped, 2 for a usage error.\n"
         "\n"
         "The files are shift-encoded, not encrypted: keep them private.\n";
}

std::string versionText() { return "ombrel " OMBREL_VERSION "\n"; }

}  // namespace ombrel
