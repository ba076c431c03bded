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

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

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
bool passwordAccepted(const storage::DataDirectory& data, CommandOutput& output) {
  const GateOutcome gate = checkMasterPassword(data, askPasswordOnTerminal);
  switch (gate.check) {
    case PasswordCheck::MissingFile:
      output.notice(kPasswordFileTampered);
      return false;
    case PasswordCheck::Unreadable:
    case PasswordCheck::NoAnswer:
      output.notice(gate.problem);
      return false;
    case PasswordCheck::Wrong:
      output.notice(QStringLiteral("The password you have entered is incorrect."));
      return false;
    case PasswordCheck::NoPassword:
    case PasswordCheck::Accepted:
      break;
  }
  return true;
}

}  // namespace

int runImport(const std::string& file) {
  StandardStreams output;
  const storage::DataDirectory data = dataDirectory();
  if (!passwordAccepted(data, output)) return kFailure;
  return importLogins(data, resolved(file), shown(file), output) ? kSuccess : kFailure;
}

int runExport(const std::string& file, ExportFormat format) {
  StandardStreams output;
  const std::optional<std::filesystem::path> path =
      file == "-" ? std::nullopt : std::optional(resolved(file));
  const QString shownPath = path ? shown(file) : QStringLiteral("standard output");
  // Refused before the password is asked, so that no one types it for nothing.
  if (path && refuseExistingFile(*path, shownPath, output)) return kFailure;
  const storage::DataDirectory data = dataDirectory();
  if (!passwordAccepted(data, output)) return kFailure;
  return exportLogins(data, path, shownPath, format, output) ? kSuccess : kFailure;
}

}  // namespace ombrel
