// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "entries/EntryCommands.h"
#include "sharing/SharedFolder.h"
#include "storage/DataDirectory.h"

namespace ombrel {

class Dialogs;
class Shell;
class WindowState;

// One window's work on one data directory: the window's handlers run its
// commands, and it keeps what the commands carry from one to the next, so
// that the window keeps none of it: the entry last shown (Save and Delete
// compare it with the file), the conflict copies already dealt with, what
// start-up found, and whether a failed reload of the list was told.
class Session {
 public:
  Session(WindowState& window, Dialogs& dialogs, Shell& shell,
          storage::DataDirectory dataDirectory);

  const storage::DataDirectory& dataDirectory() const { return dataDirectory_; }

  // Before the window is shown. False when the program must end instead (no
  // password file, wrong password).
  bool start();
  // Once the window is shown: tells what start-up found that the user must
  // know but that does not stop the program (a damaged entry file), then
  // offers the conflict copies a sync tool left.
  void started();

  void showPickedEntry();
  void newEntry(const QString& firstPrompt);
  void saveEntry();
  void deleteEntry();
  void encodePlainEntryFile();
  void loadTempEntryNames();

  void openSite();
  void openHelp();
  void openMakerSite();
  void showAbout();

  void changePassword();
  // Paints the window and keeps the colour for the next start.
  void chooseColour(std::int32_t value);

  // What the watcher saw change on disk, written by another program.
  void entryFileChanged();
  void colourFileChanged();
  void folderChanged();

  // True while a command runs, waiting for the user or for the write lock
  // included: what it is about must not change under it meanwhile.
  bool commandRunning() const { return running_ > 0; }

  // Told around every command that may write a data file, so that a change
  // the session made itself is not taken for one made elsewhere.
  class WriteObserver {
   public:
    virtual ~WriteObserver() = default;
    virtual void beforeOwnWrite() = 0;
    virtual void afterOwnWrite() = 0;
  };
  void setWriteObserver(WriteObserver* observer) { writeObserver_ = observer; }

 private:
  // Counts a command as running while it lives.
  class Running;
  // Runs a command that may write a data file.
  void writing(const std::function<void()>& command);

  WindowState& window_;
  Dialogs& dialogs_;
  Shell& shell_;
  storage::DataDirectory dataDirectory_;

  ShownEntry shown_;
  SettledCopies settled_;
  std::size_t damagedTail_ = 0;  // what start-up found at the end of the entry file
  bool reloadFailureTold_ = false;
  int running_ = 0;
  WriteObserver* writeObserver_ = nullptr;
};

}  // namespace ombrel
