// SPDX-License-Identifier: MIT
#include "entries/WriteLock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "seams/Dialogs.h"
#include "seams/UserMessages.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

std::chrono::milliseconds patience{5000};
int waiting = 0;

constexpr int kRetryMs = 50;

}  // namespace

std::chrono::milliseconds writeLockPatience() { return patience; }
void setWriteLockPatience(std::chrono::milliseconds value) { patience = value; }
bool waitingForWriteLock() { return waiting > 0; }

std::optional<storage::DirectoryLock> lockForWriting(const storage::DataDirectory& dataDirectory,
                                                     Dialogs& dialogs, const QString& consequence) {
  const std::filesystem::path directory(dataDirectory.path());
  storage::DirectoryLock lock;
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    const storage::Status status = lock.tryLock(directory);
    if (status.ok()) return lock;
    if (!status.isBusy()) return storage::DirectoryLock();
    if (waited.elapsed() >= patience.count()) break;
    if (!QCoreApplication::instance()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
      continue;
    }
    ++waiting;
    QEventLoop loop;
    QTimer::singleShot(kRetryMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --waiting;
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(patience).count();
  dialogs.warn(QStringLiteral("Another Ombrel is writing to the data files in this folder:\n%1\n\n"
                              "It did not finish within %2 seconds.\n\n%3")
                   .arg(displayPath(directory))
                   .arg(seconds)
                   .arg(consequence));
  return std::nullopt;
}

}  // namespace ombrel
