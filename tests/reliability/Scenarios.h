// SPDX-License-Identifier: MIT
#pragma once

// The five commands that change data files, each run from one fixed starting
// state with scripted answers, together with the state it must leave. The crash
// and fault tests interrupt these runs and then judge the files left on disk.

#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "TempDataDir.h"
#include "TestSession.h"
#include "startup/Startup.h"

namespace ombrel::reliability {

// The bytes of passwords.dat, pw.dat and pwclr.dat; nothing for a missing one.
struct Files {
  std::array<std::optional<std::string>, 3> bytes;
  bool operator==(const Files&) const = default;
};

inline constexpr std::array<const char*, 3> kDataFiles = {"passwords.dat", "pw.dat", "pwclr.dat"};

struct Scenario {
  std::string name;
  std::string changedFile;  // the data file the command replaces
  std::string tempFile;     // the name the new version is written under first
  Files after;              // the files when the command has run to its end
  QStringList namesAfter;   // what start-up lists from them, in list order
  QString passwordAfter;
  std::int32_t colourAfter;
  // Scripts the answers and runs the command on a session whose window lists
  // the names of the starting state.
  std::function<void(testing::TestSession&)> run;
};

Files startingFiles();
QStringList startingNames();
inline const QString kStartingPassword = QStringLiteral("secret");
inline constexpr std::int32_t kStartingColour = 255;

const std::vector<Scenario>& scenarios();

// Empties the directory and lays out `files`.
void lay(const testing::TempDataDir& dir, const Files& files);
Files snapshot(const testing::TempDataDir& dir);
// Names in the directory other than the data files and those in `allowed`.
std::vector<std::string> strayFiles(const testing::TempDataDir& dir,
                                    const std::vector<std::string>& allowed = {});

// A session whose window lists `names` over the directory, as start-up
// leaves it.
std::unique_ptr<testing::TestSession> sessionListing(const testing::TempDataDir& dir,
                                                     const QStringList& names);

// Runs the scenario on `test`, or on a session listing the starting names;
// returns the dialogs it used.
testing::ScriptedDialogs runScenario(const Scenario& scenario, const testing::TempDataDir& dir,
                                     testing::TestSession* test = nullptr);

// Start-up from the files on disk, answering the password prompt.
struct Restart {
  StartupOutcome outcome = StartupOutcome::WrongPassword;
  QStringList names;
  std::int32_t colour = 0;
  std::vector<testing::ScriptedDialogs::Message> messages;
};
Restart restart(const testing::TempDataDir& dir, const QString& password);

// Counts kept for the figures printed at the end of a run.
struct Figures {
  long crashPoints = 0, crashPointsSurvived = 0, tornWrites = 0;
  long faults = 0, faultsSurvived = 0;
  long inputs = 0, inputCommands = 0;
};
Figures& figures();

}  // namespace ombrel::reliability
