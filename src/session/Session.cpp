// SPDX-License-Identifier: MIT
#include "session/Session.h"

#include <utility>

#include "colour/WindowColour.h"
#include "interfaces/WindowState.h"
#include "password/ChangePassword.h"
#include "startup/Startup.h"
#include "text/NameBlock.h"
#include "web/WebCommands.h"

namespace ombrel {

class Session::Running {
 public:
  explicit Running(Session& session) : session_(session) { ++session_.running_; }
  ~Running() { --session_.running_; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  Session& session_;
};

Session::Session(WindowState& window, Dialogs& dialogs, Shell& shell,
                 storage::DataDirectory dataDirectory)
    : window_(window), dialogs_(dialogs), shell_(shell), dataDirectory_(std::move(dataDirectory)) {}

void Session::writing(const std::function<void()>& command) {
  const Running running(*this);
  if (writeObserver_) writeObserver_->beforeOwnWrite();
  command();
  if (writeObserver_) writeObserver_->afterOwnWrite();
}

bool Session::start() {
  const Running running(*this);
  const Startup found = runStartup(window_, dataDirectory_, dialogs_);
  damagedTail_ = found.damagedTail;
  return found.outcome == StartupOutcome::Ready;
}

void Session::started() {
  {
    const Running running(*this);
    warnDamagedEntryFile(dataDirectory_, dialogs_, std::exchange(damagedTail_, 0));
  }
  folderChanged();
}

void Session::showPickedEntry() {
  const Running running(*this);
  showSelectedEntry(window_, dataDirectory_, dialogs_, shown_);
}

void Session::newEntry(const QString& firstPrompt) {
  writing([&] { ombrel::newEntry(window_, dataDirectory_, dialogs_, firstPrompt); });
}

void Session::saveEntry() {
  writing([&] { ombrel::saveEntry(window_, dataDirectory_, dialogs_, shown_); });
}

void Session::deleteEntry() {
  writing([&] { ombrel::deleteEntry(window_, dataDirectory_, dialogs_, shown_); });
}

void Session::encodePlainEntryFile() {
  writing([&] { ombrel::encodePlainEntryFile(dataDirectory_, dialogs_); });
}

void Session::loadTempEntryNames() {
  const Running running(*this);
  ombrel::loadTempEntryNames(window_, dataDirectory_);
}

void Session::openSite() {
  const Running running(*this);
  ombrel::openSite(shell_, dialogs_, window_.boxText(Box::Web));
}

void Session::openHelp() { ombrel::openHelp(shell_, dataDirectory_); }

void Session::openMakerSite() { ombrel::openMakerSite(shell_); }

void Session::showAbout() {
  const Running running(*this);
  ombrel::showAbout(dialogs_);
}

void Session::changePassword() {
  writing([&] { ombrel::changePassword(dataDirectory_, dialogs_); });
}

void Session::chooseColour(std::int32_t value) {
  writing([&] { ombrel::chooseColour(window_, dataDirectory_, value, dialogs_); });
}

void Session::entryFileChanged() {
  const Running running(*this);
  followEntryFile(window_, dataDirectory_, dialogs_, reloadFailureTold_);
}

void Session::colourFileChanged() { applySavedColour(window_, dataDirectory_); }

void Session::folderChanged() {
  // The names a merge added go to the list as they were written, with no
  // second reading of the whole file.
  writing([&] {
    NameBlock added = settleConflictCopies(dataDirectory_, dialogs_, settled_);
    if (!added.isEmpty()) window_.addNames(std::move(added));
  });
}

}  // namespace ombrel
