// SPDX-License-Identifier: MIT
// Each command runs in a child process that is killed at one of its file
// steps; the parent then restarts from whatever is on disk. Every step of every
// command is a crash point, and every write is one twice more: killed before it
// and killed with half of its bytes written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FaultInjector.h"
#include "Scenarios.h"
#include "TestEncoding.h"
#include "entries/EntryCommands.h"

namespace ombrel::reliability {
namespace {

using testing::line;

class CrashTest : public ::testing::TestWithParam<std::size_t> {
 protected:
  const Scenario& scenario() const { return scenarios()[GetParam()]; }

  // Runs the scenario without faults, counting its steps.
  long countSteps() {
    lay(dir, startingFiles());
    ombrel_faults_watch(dir.str().c_str());
    testing::ScriptedDialogs dialogs = runScenario(scenario(), dir);
    const long steps = ombrel_faults_steps();
    ombrel_faults_stop();
    EXPECT_TRUE(dialogs.warnings().empty());
    EXPECT_EQ(snapshot(dir), scenario().after) << "the command itself writes the wrong files";
    return steps;
  }

  // Runs the scenario in a child killed as armed; true when it was killed.
  bool runKilled(long step, OmbrelFaultAction action) {
    lay(dir, startingFiles());
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      ombrel_faults_watch(dir.str().c_str());
      ombrel_faults_arm(step, action, 0);
      try {
        runScenario(scenario(), dir);
      } catch (...) {
      }
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  // What is wrong with the files a crash left; nothing when it was survived.
  std::vector<std::string> judge() {
    std::vector<std::string> problems;
    const Scenario& s = scenario();
    const Files start = startingFiles();
    const Files left = snapshot(dir);
    for (std::size_t i = 0; i < kDataFiles.size(); ++i)
      if (left.bytes[i] != start.bytes[i] && left.bytes[i] != s.after.bytes[i])
        problems.push_back(std::string(kDataFiles[i]) + " is neither the old nor the new version");
    for (const std::string& stray : strayFiles(dir, {s.tempFile}))
      problems.push_back("unexpected file " + stray);
    if (!problems.empty()) return problems;

    const bool newEntries = left.bytes[0] == s.after.bytes[0];
    const bool newPassword = left.bytes[1] == s.after.bytes[1];
    const bool newColour = left.bytes[2] == s.after.bytes[2];
    const Restart started = restart(dir, newPassword ? s.passwordAfter : kStartingPassword);
    if (started.outcome != StartupOutcome::Ready) return {"start-up refuses the password"};
    if (started.names != (newEntries ? s.namesAfter : startingNames()))
      problems.push_back("start-up lists " + started.names.join(' ').toStdString());
    if (started.colour != (newColour ? s.colourAfter : kStartingColour))
      problems.push_back("start-up shows colour " + std::to_string(started.colour));

    // The interrupted command, run again, finishes what it began ...
    if (left != s.after) {
      auto test = sessionListing(dir, started.names);
      testing::ScriptedDialogs dialogs = runScenario(s, dir, test.get());
      if (!dialogs.warnings().empty() || snapshot(dir) != s.after)
        problems.push_back("running the command again does not finish it");
    }
    // ... and a new entry after it is kept.
    auto test = sessionListing(dir, s.namesAfter);
    for (const char* answer : {"next.com", "nx", "pw-n"}) test->dialogs.answerInput(answer);
    test->session.newEntry(kNewEntryPrompt);
    if (dir.read("passwords.dat") != *s.after.bytes[0] + line("next.com", "nx", "pw-n", ""))
      problems.push_back("the next New does not add its entry");
    if (!strayFiles(dir).empty()) problems.push_back("a temp file is left after the next command");
    return problems;
  }

  testing::TempDataDir dir;
};

TEST_P(CrashTest, KilledAtAnyStepLeavesTheOldOrTheNewFiles) {
  const long steps = countSteps();
  ASSERT_FALSE(HasFailure());
  // The steps must be seen at all, or the sweep would prove nothing.
  bool sawWrite = false;
  for (long step = 1; step <= steps; ++step) sawWrite |= ombrel_faults_is_write(step) != 0;
  ASSERT_TRUE(sawWrite) << "no write into the data directory was seen";

  long points = 0, survived = 0, torn = 0;
  for (long step = 1; step <= steps; ++step) {
    std::vector<OmbrelFaultAction> actions = {OMBREL_FAULT_KILL};
    if (ombrel_faults_is_write(step)) actions.push_back(OMBREL_FAULT_KILL_TORN);
    for (OmbrelFaultAction action : actions) {
      const std::string where =
          "killed " + std::string(action == OMBREL_FAULT_KILL ? "before" : "half-way in") +
          " step " + std::to_string(step) + " (" + ombrel_faults_describe(step) + ")";
      ++points;
      torn += action == OMBREL_FAULT_KILL_TORN;
      if (!runKilled(step, action)) {
        ADD_FAILURE() << where << ": the step was never reached";
        continue;
      }
      const std::vector<std::string> problems = judge();
      if (problems.empty()) {
        ++survived;
      } else {
        for (const std::string& problem : problems) ADD_FAILURE() << where << ": " << problem;
      }
    }
  }
  figures().crashPoints += points;
  figures().crashPointsSurvived += survived;
  figures().tornWrites += torn;
  std::string list;
  for (long step = 1; step <= steps; ++step)
    list += std::string(step > 1 ? ", " : "") + ombrel_faults_describe(step);
  std::printf("[%s] %ld steps (%s): %ld crash points, %ld survived\n", scenario().name.c_str(),
              steps, list.c_str(), points, survived);
}

INSTANTIATE_TEST_SUITE_P(Commands, CrashTest, ::testing::Range<std::size_t>(0, 5),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return scenarios()[info.param].name;
                         });

}  // namespace
}  // namespace ombrel::reliability
