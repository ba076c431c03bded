// SPDX-License-Identifier: MIT
#include "Scenarios.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ScriptedRuns.h"
#include "TestEncoding.h"
#include "interfaces/Dialogs.h"

namespace ombrel::reliability {
namespace {

using testing::enc;
using testing::line;

Files withFile(Files files, int index, std::string bytes) {
  files.bytes[index] = std::move(bytes);
  return files;
}

std::vector<Scenario> makeScenarios() {
  const Files start = startingFiles();
  const std::string saved = line("b.com", "bobby", "new pw", "saved\r\nnotes");
  std::vector<Scenario> all;

  all.push_back({
      .name = "Save",
      .changedFile = "passwords.dat",
      .tempFile = "passwords2.dat",
      .after = withFile(start, 0,
                        line("a.com", "ann", "pw-a", "note a") + saved +
                            line("c.com", nullptr, "pw-c", "two\r\nlines") + saved),
      .namesAfter = startingNames(),
      .passwordAfter = kStartingPassword,
      .colourAfter = kStartingColour,
      .run = testing::scriptedRun("Save").run,
  });

  all.push_back({
      .name = "Delete",
      .changedFile = "passwords.dat",
      .tempFile = "passwords2.dat",
      .after = withFile(start, 0,
                        line("a.com", "ann", "pw-a", "note a") + line("b.com", "bob", "pw-b", "") +
                            line("b.com", "bob2", "old", "dup")),
      .namesAfter = {"a.com", "b.com", "b.com"},
      .passwordAfter = kStartingPassword,
      .colourAfter = kStartingColour,
      .run = testing::scriptedRun("Delete").run,
  });

  all.push_back({
      .name = "New",
      .changedFile = "passwords.dat",
      .tempFile = "passwords2.dat",
      .after = withFile(start, 0, testing::runEntries() + line("d.com", "dan", "pw-d", "")),
      .namesAfter = {"a.com", "b.com", "b.com", "c.com", "d.com"},
      .passwordAfter = kStartingPassword,
      .colourAfter = kStartingColour,
      .run = testing::scriptedRun("New").run,
  });

  all.push_back({
      .name = "ChangePassword",
      .changedFile = "pw.dat",
      .tempFile = "pw.dat.new",
      .after = withFile(start, 1, enc("n3w secret") + "\r\n"),
      .namesAfter = startingNames(),
      .passwordAfter = "n3w secret",
      .colourAfter = kStartingColour,
      .run = testing::scriptedRun("ChangePassword").run,
  });

  all.push_back({
      .name = "Colour",
      .changedFile = "pwclr.dat",
      .tempFile = "pwclr.dat.new",
      .after = withFile(start, 2, " 65280 \r\n"),
      .namesAfter = startingNames(),
      .passwordAfter = kStartingPassword,
      .colourAfter = 65280,
      .run = testing::scriptedRun("Colour").run,
  });
  return all;
}

class FiguresPrinter : public ::testing::Environment {
 public:
  void TearDown() override {
    const Figures& f = figures();
    if (f.crashPoints)
      std::printf("[figures] crash points covered: %ld (of them torn writes: %ld), survived: %ld\n",
                  f.crashPoints, f.tornWrites, f.crashPointsSurvived);
    if (f.faults)
      std::printf("[figures] faults injected: %ld, survived: %ld\n", f.faults, f.faultsSurvived);
    if (f.inputs)
      std::printf("[figures] damaged inputs tried: %ld, commands run over them: %ld\n", f.inputs,
                  f.inputCommands);
  }
};

[[maybe_unused]] ::testing::Environment* const printer =
    ::testing::AddGlobalTestEnvironment(new FiguresPrinter);

}  // namespace

Files startingFiles() {
  return Files{{testing::runEntries(), enc("secret") + "\r\n", std::string(" 255 \r\n")}};
}

QStringList startingNames() { return testing::runNames(); }

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> all = makeScenarios();
  return all;
}

void lay(const testing::TempDataDir& dir, const Files& files) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    std::filesystem::remove_all(entry.path());
  for (std::size_t i = 0; i < kDataFiles.size(); ++i)
    if (files.bytes[i]) dir.write(kDataFiles[i], *files.bytes[i]);
}

Files snapshot(const testing::TempDataDir& dir) {
  Files files;
  for (std::size_t i = 0; i < kDataFiles.size(); ++i)
    if (std::filesystem::is_regular_file(dir.file(kDataFiles[i])))
      files.bytes[i] = dir.read(kDataFiles[i]);
  return files;
}

std::vector<std::string> strayFiles(const testing::TempDataDir& dir,
                                    const std::vector<std::string>& allowed) {
  std::vector<std::string> strays;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    bool known = std::find(kDataFiles.begin(), kDataFiles.end(), name) != kDataFiles.end() ||
                 std::find(allowed.begin(), allowed.end(), name) != allowed.end();
    if (!known) strays.push_back(name);
  }
  return strays;
}

std::unique_ptr<testing::TestSession> sessionListing(const testing::TempDataDir& dir,
                                                     const QStringList& names) {
  auto test = std::make_unique<testing::TestSession>(dir.str());
  test->window.addNames(names);
  test->window.colour = kStartingColour;
  return test;
}

testing::ScriptedDialogs runScenario(const Scenario& scenario, const testing::TempDataDir& dir,
                                     testing::TestSession* test) {
  std::unique_ptr<testing::TestSession> own;
  if (!test) {
    own = sessionListing(dir, startingNames());
    test = own.get();
  }
  scenario.run(*test);
  return test->dialogs;
}

Restart restart(const testing::TempDataDir& dir, const QString& password) {
  testing::FakeWindow window;
  testing::ScriptedDialogs dialogs;
  dialogs.answerInput(password);
  Restart result;
  storage::DataDirectory data(dir.str());
  result.outcome = runStartup(window, data, dialogs).outcome;
  result.names = window.names;
  result.colour = window.colour;
  result.messages = dialogs.messages;
  return result;
}

Figures& figures() {
  static Figures counts;
  return counts;
}

}  // namespace ombrel::reliability
