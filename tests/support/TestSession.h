// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "FakeWindow.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "session/Session.h"
#include "storage/DataDirectory.h"

namespace ombrel::testing {

// A session as the window runs it, over a stand-in window, scripted dialogs
// and a shell that opens nothing.
struct TestSession {
  explicit TestSession(const std::string& dataDirectory)
      : session(window, dialogs, shell, storage::DataDirectory(dataDirectory)) {}

  // Picks the first list item with this text and shows it, as a click does.
  bool pick(const QString& name) {
    window.selected = static_cast<int>(window.names.indexOf(name));
    if (window.selected < 0) return false;
    session.showPickedEntry();
    return true;
  }

  FakeWindow window;
  ScriptedDialogs dialogs;
  RecordingShell shell;
  Session session;
};

}  // namespace ombrel::testing
