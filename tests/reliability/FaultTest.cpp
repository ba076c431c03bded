// SPDX-License-Identifier: MIT
// File-system failures while a command runs: each of its calls failing in
// turn, whole conditions (disk full, read-only, no permission, a write that
// stops half-way) and folders where files should be. A command either
// finishes or says which file failed and why; either way nothing is lost and
// the next try works.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "FaultInjector.h"
#include "Scenarios.h"
#include "TestEncoding.h"
#include "entries/EntryCommands.h"
#include "text/UserMessages.h"

namespace ombrel::reliability {
namespace {

std::string reasonOf(int error) {
  return std::error_code(error, std::generic_category()).message();
}

class FaultTest : public ::testing::TestWithParam<std::size_t> {
 protected:
  const Scenario& scenario() const { return scenarios()[GetParam()]; }

  long countSteps() {
    lay(dir, startingFiles());
    ombrel_faults_watch(dir.str().c_str());
    runScenario(scenario(), dir);
    const long steps = ombrel_faults_steps();
    ombrel_faults_stop();
    return steps;
  }

  // Judges one faulty run: `failed` is what the user was told; `reason` the
  // text the message must carry, `named` the file it must name.
  std::vector<std::string> judge(const testing::ScriptedDialogs& dialogs,
                                 const testing::FakeWindow& window, const std::string& reason,
                                 const std::string& named, bool mustFail) {
    std::vector<std::string> problems;
    const Scenario& s = scenario();
    const std::vector<QString> told = dialogs.warnings();
    const Files left = snapshot(dir);
    if (told.empty()) {
      if (mustFail) problems.push_back("no message");
      if (left != s.after) problems.push_back("no message, yet the files are not the new ones");
      if (window.names != s.namesAfter) problems.push_back("the list does not show the change");
    } else {
      const QString& text = told.front();
      if (told.size() > 1) problems.push_back("more than one message");
      if (!text.contains(displayPath(dir.file(named))))
        problems.push_back("the message does not name " + named + ": " + text.toStdString());
      if (!text.contains(QString::fromStdString(reason)))
        problems.push_back("the message does not give the reason \"" + reason +
                           "\": " + text.toStdString());
      if (left != startingFiles()) problems.push_back("the files changed although it failed");
      if (window.names != startingNames())
        problems.push_back("the list changed although it failed");
    }
    for (const std::string& stray : strayFiles(dir)) problems.push_back("left behind: " + stray);
    return problems;
  }

  // With the fault gone the command works, and the next start sees it.
  std::vector<std::string> recover() {
    const Scenario& s = scenario();
    if (snapshot(dir) != s.after) {
      testing::ScriptedDialogs dialogs = runScenario(s, dir);
      if (!dialogs.warnings().empty() || snapshot(dir) != s.after)
        return {"the command fails again once the fault is gone"};
    }
    const Restart started = restart(dir, s.passwordAfter);
    if (started.outcome != StartupOutcome::Ready || started.names != s.namesAfter)
      return {"the next start does not show the result"};
    return {};
  }

  void tally(const std::string& where, const std::vector<std::string>& problems) {
    ++figures().faults;
    if (problems.empty()) ++figures().faultsSurvived;
    for (const std::string& problem : problems) ADD_FAILURE() << where << ": " << problem;
  }

  testing::TempDataDir dir;
};

TEST_P(FaultTest, EachCallFailingInTurnIsReportedOrHarmless) {
  const Scenario& s = scenario();
  const long steps = countSteps();
  ASSERT_GT(steps, 0);
  for (int error : {EIO, ENOSPC, EACCES, EROFS}) {
    for (long step = 1; step <= steps; ++step) {
      lay(dir, startingFiles());
      auto test = sessionListing(dir, startingNames());
      ombrel_faults_watch(dir.str().c_str());
      ombrel_faults_arm(step, OMBREL_FAULT_FAIL, error);
      testing::ScriptedDialogs dialogs = runScenario(s, dir, test.get());
      const std::string where = "step " + std::to_string(step) + " (" +
                                ombrel_faults_describe(step) + ") failing with " + reasonOf(error);
      const bool hit = ombrel_faults_applied() == 1;
      ombrel_faults_stop();
      std::vector<std::string> problems;
      if (!hit) problems.push_back("the step was never reached");
      for (auto& p : judge(dialogs, test->window, reasonOf(error), s.changedFile, false))
        problems.push_back(p);
      if (problems.empty()) problems = recover();
      tally(where, problems);
    }
  }
}

TEST_P(FaultTest, WholeConditionsFailCleanly) {
  const Scenario& s = scenario();
  const struct {
    OmbrelFaultCondition condition;
    const char* name;
    int error;
  } conditions[] = {
      {OMBREL_CONDITION_DISK_FULL, "disk full", ENOSPC},
      {OMBREL_CONDITION_READ_ONLY, "read-only directory", EROFS},
      {OMBREL_CONDITION_NO_PERMISSION, "permission denied", EACCES},
      {OMBREL_CONDITION_TORN_WRITE, "a write that fails half-way", ENOSPC},
  };
  for (const auto& c : conditions) {
    lay(dir, startingFiles());
    auto test = sessionListing(dir, startingNames());
    ombrel_faults_watch(dir.str().c_str());
    ombrel_faults_set_condition(c.condition);
    testing::ScriptedDialogs dialogs = runScenario(s, dir, test.get());
    ombrel_faults_stop();
    std::vector<std::string> problems =
        judge(dialogs, test->window, reasonOf(c.error), s.changedFile, true);
    if (problems.empty()) problems = recover();
    tally(c.name, problems);
  }
}

TEST_P(FaultTest, AFolderInTheWayIsReportedUntouched) {
  const Scenario& s = scenario();
  for (const std::string& blocked : {s.changedFile, s.tempFile}) {
    lay(dir, startingFiles());
    std::filesystem::remove(dir.file(blocked));
    std::filesystem::create_directory(dir.file(blocked));
    dir.write(blocked + "/inside", "kept");
    Files expected = startingFiles();
    if (blocked == s.changedFile)
      expected.bytes[std::find(kDataFiles.begin(), kDataFiles.end(), blocked) - kDataFiles.begin()]
          .reset();

    auto test = sessionListing(dir, startingNames());
    testing::ScriptedDialogs dialogs = runScenario(s, dir, test.get());
    std::vector<std::string> problems;
    const std::vector<QString> told = dialogs.warnings();
    if (told.size() != 1) {
      problems.push_back(std::to_string(told.size()) + " messages instead of one");
    } else {
      if (!told[0].contains(displayPath(dir.file(blocked))))
        problems.push_back("the message does not name the folder: " + told[0].toStdString());
      if (!told[0].contains(QString::fromStdString(reasonOf(EISDIR))))
        problems.push_back("the message does not say it is a folder: " + told[0].toStdString());
    }
    if (snapshot(dir) != expected) problems.push_back("a data file changed");
    if (dir.read(blocked + "/inside") != "kept") problems.push_back("the folder was touched");
    if (test->window.names != startingNames()) problems.push_back("the list changed");
    for (const std::string& stray : strayFiles(dir, {blocked}))
      problems.push_back("left: " + stray);

    std::filesystem::remove_all(dir.file(blocked));
    if (blocked == s.tempFile && problems.empty()) problems = recover();
    tally("a folder named " + blocked, problems);
  }
}

// Start-up only reads. A failed read may leave the list empty, or end this
// run when pw.dat cannot be read, saying which file and why; it never tells
// the right password it is wrong, and it changes no file: a New in that
// session keeps every entry, and the next start shows them all.
TEST(StartUpFaultTest, AFailedReadLosesNoEntry) {
  testing::TempDataDir dir;
  lay(dir, startingFiles());
  ombrel_faults_watch(dir.str().c_str());
  restart(dir, kStartingPassword);
  const long steps = ombrel_faults_steps();
  ombrel_faults_stop();
  ASSERT_GT(steps, 0);

  const std::string withNew = *startingFiles().bytes[0] + testing::line("z.com", "zed", "pw-z", "");
  for (int error : {EIO, ENOSPC, EACCES, EROFS}) {
    for (long step = 1; step <= steps; ++step) {
      lay(dir, startingFiles());
      ombrel_faults_watch(dir.str().c_str());
      ombrel_faults_arm(step, OMBREL_FAULT_FAIL, error);
      const Restart started = restart(dir, kStartingPassword);
      const bool hit = ombrel_faults_applied() == 1;
      ombrel_faults_stop();

      std::vector<std::string> problems;
      if (!hit) problems.push_back("the step was never reached");
      if (snapshot(dir) != startingFiles()) problems.push_back("start-up changed a file");
      if (started.outcome == StartupOutcome::WrongPassword)
        problems.push_back("the right password was told it is wrong");
      if (started.outcome == StartupOutcome::UnreadablePasswordFile &&
          (started.messages.size() != 1 ||
           !started.messages[0].text.contains(displayPath(dir.file("pw.dat"))) ||
           !started.messages[0].text.contains(QString::fromStdString(reasonOf(error)))))
        problems.push_back("pw.dat is not named with the reason");
      if (started.outcome == StartupOutcome::Ready) {
        auto test = sessionListing(dir, started.names);
        for (const char* answer : {"z.com", "zed", "pw-z"}) test->dialogs.answerInput(answer);
        test->session.newEntry(kNewEntryPrompt);
        if (dir.read("passwords.dat") != withNew) problems.push_back("New after it lost entries");
      }
      QStringList all = startingNames();
      if (started.outcome == StartupOutcome::Ready) all << "z.com";
      const Restart next = restart(dir, kStartingPassword);
      if (next.outcome != StartupOutcome::Ready || next.names != all)
        problems.push_back("the next start does not list every entry");

      ++figures().faults;
      if (problems.empty()) ++figures().faultsSurvived;
      for (const std::string& problem : problems)
        ADD_FAILURE() << "start-up, step " << step << " (" << ombrel_faults_describe(step)
                      << ") failing with " << reasonOf(error) << ": " << problem;
    }
  }
}

// The list follows the entry file after every change in the folder. A reload
// whose read fails keeps the list as it was, rather than showing every entry
// gone, and says once which file and why; the next good read catches up.
TEST(ReloadFaultTest, AFailedReadKeepsTheListAndSaysSoOnce) {
  testing::TempDataDir dir;
  const std::string changed = *startingFiles().bytes[0] + testing::line("z.com", "zed", "pw", "");
  lay(dir, startingFiles());
  dir.write("passwords.dat", changed);
  auto count = sessionListing(dir, startingNames());
  ombrel_faults_watch(dir.str().c_str());
  count->session.entryFileChanged();
  const long steps = ombrel_faults_steps();
  ombrel_faults_stop();
  const QStringList after = count->window.names;
  ASSERT_EQ(after.size(), startingNames().size() + 1);

  for (int error : {EIO, EACCES}) {
    for (long step = 1; step <= steps; ++step) {
      auto test = sessionListing(dir, startingNames());
      for (int reload = 0; reload < 2; ++reload) {  // the second is not told again
        ombrel_faults_watch(dir.str().c_str());
        ombrel_faults_arm(step, OMBREL_FAULT_FAIL, error);
        test->session.entryFileChanged();
        ombrel_faults_stop();
      }
      const std::string where = "step " + std::to_string(step) + " (" +
                                ombrel_faults_describe(step) + ") failing with " + reasonOf(error);
      const std::vector<QString> said = test->dialogs.warnings();
      if (test->window.names != after) {
        EXPECT_EQ(test->window.names, startingNames()) << where;
        EXPECT_LE(said.size(), 1u) << where;
        for (const QString& text : said) {
          EXPECT_TRUE(text.contains(displayPath(dir.file("passwords.dat")))) << where;
          EXPECT_TRUE(text.contains(QString::fromStdString(reasonOf(error)))) << where;
        }
      } else {
        EXPECT_TRUE(said.empty()) << where;
      }
      test->session.entryFileChanged();
      EXPECT_EQ(test->window.names, after) << where;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultTest, ::testing::Range<std::size_t>(0, 5),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return scenarios()[info.param].name;
                         });

}  // namespace
}  // namespace ombrel::reliability
