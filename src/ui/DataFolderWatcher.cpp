// SPDX-License-Identifier: MIT
#include "ui/DataFolderWatcher.h"

#include <sys/stat.h>

#include <QApplication>

#include "storage/DataFiles.h"

namespace ombrel {
namespace {

QString qtPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

DataFolderWatcher::DataFolderWatcher(std::filesystem::path directory, QObject* parent)
    : QObject(parent), directory_(std::move(directory)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &DataFolderWatcher::check);
  auto changed = [this] {
    if (ownWrite_) changedMeanwhile_ = true;
    settle_.start();
  };
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changed);
}

DataFolderWatcher::Signature DataFolderWatcher::signatureOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true,
          static_cast<unsigned long long>(info.st_dev),
          static_cast<unsigned long long>(info.st_ino),
          static_cast<long long>(info.st_size),
          info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec,
          info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec};
}

void DataFolderWatcher::start() {
  takeFilesAsSeen();
  arm();
}

bool DataFolderWatcher::filesAsSeen() const {
  return signatureOf(directory_ / storage::kEntryFile) == entries_ &&
         signatureOf(directory_ / storage::kColourFile) == colour_;
}

void DataFolderWatcher::takeFilesAsSeen() {
  entries_ = signatureOf(directory_ / storage::kEntryFile);
  colour_ = signatureOf(directory_ / storage::kColourFile);
}

void DataFolderWatcher::beforeOwnWrite() {
  ownWrite_ = true;
  changedMeanwhile_ = false;
  seenBeforeWrite_ = filesAsSeen();
}

// Runs before the event loop can deliver the notices of the command's own
// writes, so that any notice that came while it ran was of another change.
void DataFolderWatcher::afterOwnWrite() {
  ownWrite_ = false;
  if (seenBeforeWrite_ && !changedMeanwhile_) takeFilesAsSeen();
}

// A watch on a file ends when the file is renamed over or removed; it is
// taken up again on the file that is there now.
void DataFolderWatcher::arm() {
  QStringList paths{qtPath(directory_)};
  for (auto name : {storage::kEntryFile, storage::kColourFile})
    if (std::filesystem::exists(directory_ / name)) paths << qtPath(directory_ / name);
  const QStringList watched = watcher_.files() + watcher_.directories();
  for (const QString& path : paths)
    if (!watched.contains(path)) watcher_.addPath(path);
}

void DataFolderWatcher::check() {
  // A command is under way (a question is open, or it waits for the lock):
  // what it is about must not change under it.
  if (QApplication::activeModalWidget() || (commandRunning_ && commandRunning_())) {
    settle_.start();
    return;
  }
  arm();
  const Signature entries = signatureOf(directory_ / storage::kEntryFile);
  const Signature colour = signatureOf(directory_ / storage::kColourFile);
  const bool entriesNew = !(entries == entries_);
  const bool colourNew = !(colour == colour_);
  entries_ = entries;
  colour_ = colour;
  if (entriesNew) emit entriesChanged();
  if (colourNew) emit colourChanged();
  emit folderChanged();
}

}  // namespace ombrel
