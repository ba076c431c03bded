// SPDX-License-Identifier: MIT
#include "datafolder/WriteLock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"

namespace ombrel {
namespace {

std::chrono::milliseconds patience{5000};

constexpr int kRetryMs = 50;

}  // namespace

std::chrono::milliseconds writeLockPatience() { return patience; }
void setWriteLockPatience(std::chrono::milliseconds value) { patience = value; }

WriteLock WriteLock::take(const storage::DataDirectory& dataDirectory) {
  const std::filesystem::path directory(dataDirectory.path());
  WriteLock taken;
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    const storage::Status status = taken.lock_.tryLock(directory);
    if (status.ok()) return taken;
    if (!status.isBusy()) return taken;  // written unlocked
    if (waited.elapsed() >= patience.count()) break;
    if (!QCoreApplication::instance()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
      continue;
    }
    QEventLoop loop;
    QTimer::singleShot(kRetryMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  taken.status_ = storage::Status::busy();
  return taken;
}

}  // namespace ombrel
