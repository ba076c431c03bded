// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include "TempDataDir.h"
#include "TestEncoding.h"
#include "TestSession.h"
#include "entries/EntryCommands.h"

namespace ombrel::testing {

// A session over a stand-in window and scripted dialogs on a temporary data
// directory, as the entry and sharing tests start from.
class SessionFixture : public ::testing::Test {
 protected:
  // Puts `bytes` as the entry file and lists its names as start-up would.
  void entries(const std::string& bytes, const QStringList& names) {
    dir.write("passwords.dat", bytes);
    window.addNames(names);
  }

  // Picks the first list item with this text.
  void pick(const QString& name) { ASSERT_TRUE(test.pick(name)) << name.toStdString(); }

  QStringList boxes() const {
    return {window.boxText(Box::Web), window.boxText(Box::User), window.boxText(Box::Password),
            window.boxText(Box::Notes)};
  }

  std::string entryFile() const { return dir.read("passwords.dat"); }

  TempDataDir dir;
  TestSession test{dir.str()};
  FakeWindow& window = test.window;
  ScriptedDialogs& dialogs = test.dialogs;
  Session& session = test.session;
};

}  // namespace ombrel::testing
