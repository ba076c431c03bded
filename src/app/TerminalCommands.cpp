// SPDX-License-Identifier: MIT
#include "app/TerminalCommands.h"

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/CommandLine.h"
#include "app/StandardStreams.h"
#include "app/TerminalPassword.h"
#include "audit/HealthReport.h"
#include "audit/LeakCheck.h"
#include "audit/ShowCommands.h"
#include "importexport/LoginExport.h"
#include "importexport/LoginImport.h"
#include "password/PasswordGate.h"
#include "storage/DataDirectory.h"
#include "text/UserMessages.h"

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

// Prints what a command that reads the entries has to say: its lines as
// data, its notes as messages.
CommandResult printed(const CommandText& text, CommandOutput& output) {
  for (const QString& note : text.notes) output.notice(note);
  for (const QString& line : text.out) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    if (const storage::Status written =
            output.writeData({bytes.constData(), std::size_t(bytes.size())});
        !written.ok())
      return CommandResult::failed(fileProblem(QStringLiteral("The output could not be written"),
                                               "standard output", written));
  }
  if (const storage::Status flushed = output.flushData(); !flushed.ok())
    return CommandResult::failed(
        fileProblem(QStringLiteral("The output could not be written"), "standard output", flushed));
  return text.result;
}

CommandResult exported(const CommandLine& commandLine, const storage::DataDirectory& data,
                       CommandOutput& output) {
  const std::string& file = commandLine.file;
  const std::optional<std::filesystem::path> path =
      file == "-" ? std::nullopt : std::optional(resolved(file));
  const QString shownPath = path ? shown(file) : QStringLiteral("standard output");
  return exportLogins(data, path, shownPath, *commandLine.format, output);
}

CommandResult run(const CommandLine& commandLine, const storage::DataDirectory& data,
                  CommandOutput& output) {
  using Action = CommandLine::Action;
  const std::string& file = commandLine.file;
  switch (commandLine.action) {
    case Action::Import:
      return importLogins(data, resolved(file), shown(file), output);
    case Action::Export:
      return exported(commandLine, data, output);
    case Action::List:
      return printed(listNames(data), output);
    case Action::Show:
      return printed(showEntry(data, shown(file), commandLine.field), output);
    case Action::Report:
      return printed(healthReport(data), output);
    case Action::CheckPwned:
      return printed(leakCheck(data, resolved(file), shown(file)), output);
    default:
      return CommandResult::failed(QStringLiteral("Nothing to run."));
  }
}

}  // namespace

int runCommand(const CommandLine& commandLine) {
  StandardStreams output;
  const storage::DataDirectory data = dataDirectory();
  CommandResult result = CommandResult::done();
  // An export is refused before the password is asked, so that no one types
  // it for nothing.
  if (commandLine.action == CommandLine::Action::Export && commandLine.file != "-")
    result = refuseExistingFile(resolved(commandLine.file), shown(commandLine.file));
  if (result.ok()) result = passwordGate(data);
  if (result.ok()) result = run(commandLine, data, output);
  if (result.isFailure()) output.notice(result.message());
  return result.exitStatus();
}

}  // namespace ombrel
