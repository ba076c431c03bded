// SPDX-License-Identifier: MIT
#include "app/TransferCommands.h"

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/StandardStreams.h"
#include "app/TerminalPassword.h"
#include "importexport/LoginExport.h"
#include "importexport/LoginImport.h"
#include "password/PasswordGate.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

// The launcher starts the program in the data directory and says where the
// user was: a relative file is meant from there.
std::filesystem::path resolved(const std::string& file) {
  const std::filesystem::path path(file);
  const char* startDir = std::getenv("OMBREL_START_DIR");
  if (path.is_absolute() || !startDir || !*startDir) return path;
  return std::filesystem::path(startDir) / path;
}

QString shown(const std::string& file) { return QString::fromLocal8Bit(file.c_str()); }

storage::DataDirectory dataDirectory() {
  storage::DataDirectory data = storage::DataDirectory::fromWorkingDirectory();
  data.applyLegacyRule();  // as start-up does for the window
  return data;
}

// The gate start-up keeps, with the command line's prompt and messages.
CommandResult passwordGate(const storage::DataDirectory& data) {
  const GateOutcome gate = checkMasterPassword(data, askPasswordOnTerminal);
  switch (gate.check) {
    case PasswordCheck::MissingFile:
      return CommandResult::failed(kPasswordFileTampered);
    case PasswordCheck::Unreadable:
    case PasswordCheck::NoAnswer:
      return CommandResult::failed(gate.problem);
    case PasswordCheck::Wrong:
      return CommandResult::failed(QStringLiteral("The password you have entered is incorrect."));
    case PasswordCheck::NoPassword:
    case PasswordCheck::Accepted:
      break;
  }
  return CommandResult::done();
}

// What the program exits with, once a failure has been told.
int finished(const CommandResult& result, CommandOutput& output) {
  if (result.isFailure()) output.notice(result.message());
  return result.exitStatus();
}

}  // namespace

int runImport(const std::string& file) {
  StandardStreams output;
  const storage::DataDirectory data = dataDirectory();
  CommandResult result = passwordGate(data);
  if (result.ok()) result = importLogins(data, resolved(file), shown(file), output);
  return finished(result, output);
}

int runExport(const std::string& file, const CsvFormat& format) {
  StandardStreams output;
  const std::optional<std::filesystem::path> path =
      file == "-" ? std::nullopt : std::optional(resolved(file));
  const QString shownPath = path ? shown(file) : QStringLiteral("standard output");
  // Refused before the password is asked, so that no one types it for nothing.
  CommandResult result = path ? refuseExistingFile(*path, shownPath) : CommandResult::done();
  const storage::DataDirectory data = dataDirectory();
  if (result.ok()) result = passwordGate(data);
  if (result.ok()) result = exportLogins(data, path, shownPath, format, output);
  return finished(result, output);
}

}  // namespace ombrel
