// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "ScriptedDialogs.h"
#include "TempDataDir.h"
#include "TestEncoding.h"
#include "entries/EntryCommands.h"

namespace ombrel::testing {

class EntryFixture : public ::testing::Test {
 protected:
  EntryFixture() : window(dir.str()) {}

  // Puts `bytes` as the entry file and lists its names as start-up would.
  void entries(const std::string& bytes, const QStringList& names) {
    dir.write("passwords.dat", bytes);
    window.addNames(names);
  }

  // Picks the first list item with this text.
  void pick(const QString& name) {
    window.selected = static_cast<int>(window.names.indexOf(name));
    ASSERT_GE(window.selected, 0) << name.toStdString();
    showSelectedEntry(window, window.dataDirectory());
  }

  QStringList boxes() const {
    return {window.boxText(Box::Web), window.boxText(Box::User), window.boxText(Box::Password),
            window.boxText(Box::Notes)};
  }

  std::string entryFile() const { return dir.read("passwords.dat"); }

  TempDataDir dir;
  FakeWindow window;
  ScriptedDialogs dialogs;
};

}  // namespace ombrel::testing
