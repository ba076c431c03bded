// SPDX-License-Identifier: MIT
// The data directory's write lock, between two holders and two processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "TempDataDir.h"
#include "storage/DirectoryLock.h"

namespace ombrel::storage {
namespace {

class DirectoryLockTest : public ::testing::Test {
 protected:
  testing::TempDataDir dir;
};

TEST_F(DirectoryLockTest, LockIsExclusiveUntilUnlocked) {
  DirectoryLock first, second;
  ASSERT_TRUE(first.tryLock(dir.path()).ok());
  const Status busy = second.tryLock(dir.path());
  EXPECT_TRUE(busy.isBusy());
  first.unlock();
  EXPECT_TRUE(second.tryLock(dir.path()).ok());
}

TEST_F(DirectoryLockTest, FolderThatCannotBeOpenedIsNotBusy) {
  DirectoryLock lock;
  const Status missing = lock.tryLock(dir.path() / "missing");
  EXPECT_FALSE(missing.ok());
  EXPECT_FALSE(missing.isBusy());
}

TEST_F(DirectoryLockTest, LockIsFreedWhenItsHolderDies) {
  DirectoryLock first;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    DirectoryLock held;
    const char taken = held.tryLock(dir.path()).ok() ? 'y' : 'n';
    (void)!::write(ready[1], &taken, 1);
    ::pause();
    ::_exit(0);
  }
  char taken = 0;
  ASSERT_EQ(::read(ready[0], &taken, 1), 1);
  ASSERT_EQ(taken, 'y');
  EXPECT_FALSE(first.tryLock(dir.path()).ok());
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(first.tryLock(dir.path()).ok());
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace ombrel::storage
