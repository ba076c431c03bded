// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "TestEncoding.h"
#include "TestSession.h"
#include "entries/EntryCommands.h"

namespace ombrel::testing {

// The entries the scripted runs start from. Two records share a name, so
// that Save must replace both and Delete must keep both; one has a note
// spanning two lines.
inline std::string runEntries() {
  return line("a.com", "ann", "pw-a", "note a") + line("b.com", "bob", "pw-b", "") +
         line("c.com", nullptr, "pw-c", "two\r\nlines") + line("b.com", "bob2", "old", "dup");
}
inline QStringList runNames() { return {"a.com", "b.com", "b.com", "c.com"}; }

// Every command that writes a data file, with the answers that make it
// write, run on a session whose window lists runNames() over runEntries().
struct ScriptedRun {
  std::string name;
  std::string file;  // the data file it writes
  std::function<void(TestSession&)> run;
};

inline const std::vector<ScriptedRun>& scriptedRuns() {
  static const std::vector<ScriptedRun> runs = {
      {"Save", "passwords.dat",
       [](TestSession& t) {
         t.window.show("b.com", "bobby", "new pw", "saved\r\nnotes");
         t.dialogs.answerMessage(kYes);
         t.session.saveEntry();
       }},
      {"Delete", "passwords.dat",
       [](TestSession& t) {
         t.window.show("c.com");
         t.dialogs.answerMessage(kYes);
         t.session.deleteEntry();
       }},
      {"New", "passwords.dat",
       [](TestSession& t) {
         for (const char* answer : {"d.com", "dan", "pw-d"}) t.dialogs.answerInput(answer);
         t.session.newEntry(kNewEntryPrompt);
       }},
      {"ChangePassword", "pw.dat",
       [](TestSession& t) {
         t.dialogs.answerInput("n3w secret");
         t.session.changePassword();
       }},
      {"Colour", "pwclr.dat", [](TestSession& t) { t.session.chooseColour(65280); }},
      {"Maintenance", "passwords2.dat", [](TestSession& t) { t.session.encodePlainEntryFile(); }},
  };
  return runs;
}

inline const ScriptedRun& scriptedRun(const std::string& name) {
  for (const ScriptedRun& run : scriptedRuns())
    if (run.name == name) return run;
  throw std::logic_error("no scripted run " + name);
}

}  // namespace ombrel::testing
