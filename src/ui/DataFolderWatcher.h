// SPDX-License-Identifier: MIT
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "session/Session.h"

namespace ombrel {

// Tells when the entry file or the colour file changed on disk behind the
// window's back, and when anything in the data directory changed (a conflict
// copy may have appeared). Watches the directory as well as the files, so
// that it goes on when a file is replaced by rename (the way sync tools and
// Ombrel itself write) or is briefly missing. Bursts of changes are reported
// once, a moment after they settle, and never while a command is asking the
// user something or waiting for the write lock: the report waits until the
// command is over. A change the window's session made itself is no news.
class DataFolderWatcher : public QObject, public Session::WriteObserver {
  Q_OBJECT

 public:
  DataFolderWatcher(std::filesystem::path directory, QObject* parent = nullptr);

  // Starts watching, taking the files as they are now as seen.
  void start();
  // What tells that a command is running, during which reports wait.
  void setCommandRunning(std::function<bool()> commandRunning) {
    commandRunning_ = std::move(commandRunning);
  }

  // The session's own writes: when the files were as last seen before, and
  // nothing else changed them while the command ran, what the command wrote
  // is taken as seen. A change made elsewhere meanwhile is still reported.
  void beforeOwnWrite() override;
  void afterOwnWrite() override;

  static constexpr int kSettleMs = 150;

 signals:
  void entriesChanged();
  void colourChanged();
  void folderChanged();

 private:
  // Enough of a file's state to tell a new version from the one seen: a
  // rename-over gives a new inode, a rewrite in place a new size or time.
  struct Signature {
    bool present = false;
    unsigned long long device = 0, inode = 0;
    long long size = 0, modifiedNs = 0, changedNs = 0;
    bool operator==(const Signature&) const = default;
  };
  static Signature signatureOf(const std::filesystem::path& path);

  void arm();
  void check();
  bool filesAsSeen() const;
  void takeFilesAsSeen();

  std::filesystem::path directory_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  Signature entries_, colour_;
  std::function<bool()> commandRunning_;
  bool ownWrite_ = false;         // a command of the session's own may be writing
  bool seenBeforeWrite_ = false;  // the files were as last seen when it began
  bool changedMeanwhile_ = false;
};

}  // namespace ombrel
