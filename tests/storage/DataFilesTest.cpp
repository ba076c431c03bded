// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "storage/DataFiles.h"
#include "support/TempDataDir.h"

namespace ombrel::storage {
namespace {

namespace fs = std::filesystem;

fs::perms permissionsOf(const fs::path& path) {
  return fs::status(path).permissions() & fs::perms::all;
}

class DataFilesTest : public ::testing::Test {
 protected:
  testing::TempDataDir dir;
  fs::path target = dir.file("passwords.dat");
  fs::path temp = dir.file("passwords2.dat");
};

TEST_F(DataFilesTest, ReadsAWholeFileByteForByte) {
  dir.write("a.dat", std::string("x\0y\r\n", 5));
  std::string out = "old";
  ASSERT_TRUE(readWholeFile(dir.file("a.dat"), out).ok());
  EXPECT_EQ(out, std::string("x\0y\r\n", 5));
}

TEST_F(DataFilesTest, AFailedReadNamesWhy) {
  std::string out;
  const Status missing = readWholeFile(dir.file("none.dat"), out);
  EXPECT_TRUE(missing.isMissing());
  EXPECT_EQ(missing.reason(), "No such file or directory");

  fs::create_directory(dir.file("pw.dat"));
  const Status folder = readWholeFile(dir.file("pw.dat"), out);
  EXPECT_EQ(folder.kind(), Status::Kind::ReadFailed);
  EXPECT_EQ(folder.reason(), "Is a directory");
}

TEST_F(DataFilesTest, ReadsPastTheSizeTheFileHadWhenOpenedWithoutOverAllocating) {
  // A large entry file is read into a buffer of its own size, not one grown
  // (and copied) to find the end.
  const std::string big(3 * 1024 * 1024 + 17, 'x');
  dir.write("big.dat", big);
  std::string out;
  ASSERT_TRUE(readWholeFile(dir.file("big.dat"), out).ok());
  EXPECT_EQ(out, big);
  EXPECT_LT(out.capacity(), big.size() + 4096);

  // Files whose size is unknown when opened (reported as 0) are read whole.
  ASSERT_TRUE(readWholeFile("/proc/self/status", out).ok());
  EXPECT_THAT(out, ::testing::HasSubstr("VmRSS"));
}

TEST_F(DataFilesTest, AppendCreatesAMissingFilePrivate) {
  ASSERT_TRUE(appendToFile(target, "one\r\n").ok());
  EXPECT_EQ(permissionsOf(target), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(appendToFile(dir.file("no-such-dir") / "x.dat", "x").ok());
}

TEST_F(DataFilesTest, AppendAddsAfterTheLastByte) {
  ASSERT_TRUE(appendToFile(target, "one\r\n").ok());
  ASSERT_TRUE(appendToFile(target, "two\r\n").ok());
  EXPECT_EQ(dir.read("passwords.dat"), "one\r\ntwo\r\n");
}

// Both ways of creating a new private file: unnamed and linked, and through
// a hidden partial file where the file system cannot do the first.
TEST_F(DataFilesTest, ACreatedFileAppearsWholePrivateAndNeverOverAnother) {
  for (const bool unnamedFirst : {true, false}) {
    SCOPED_TRACE(unnamedFirst ? "unnamed" : "partial");
    const fs::path out = dir.file(unnamedFirst ? "a.csv" : "b.csv");
    ::umask(0022);
    ASSERT_TRUE(createPrivateFile(out, "x,y\n", unnamedFirst).ok());
    EXPECT_EQ(dir.read(out.filename().string()), "x,y\n");
    EXPECT_EQ(permissionsOf(out), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(createPrivateFile(out, "new", unnamedFirst).error(), EEXIST);
    EXPECT_EQ(dir.read(out.filename().string()), "x,y\n");
    const fs::path link = dir.file(unnamedFirst ? "l1.csv" : "l2.csv");
    fs::create_symlink(dir.file("nowhere"), link);
    EXPECT_EQ(createPrivateFile(link, "new", unnamedFirst).error(), EEXIST);
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
  }
  // Nothing but the two files and the two links: no partial file left.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

TEST_F(DataFilesTest, PresenceCountsOnlyOrdinaryVisibleFiles) {
  EXPECT_FALSE(isPresentFile(dir.file("pw.dat")));
  fs::create_directory(dir.file("pw.dat"));
  EXPECT_FALSE(isPresentFile(dir.file("pw.dat")));
  dir.write("pwclr.dat", "");
  EXPECT_TRUE(isPresentFile(dir.file("pwclr.dat")));  // even when empty
  dir.write(".pw.dat", "x");
  EXPECT_FALSE(isPresentFile(dir.file(".pw.dat")));
}

TEST_F(DataFilesTest, ReplaceLeavesOnlyTheNewBytes) {
  dir.write("passwords.dat", "old\r\n");
  dir.write("passwords2.dat", "leftover from a rewrite that stopped\r\n");
  ASSERT_TRUE(replaceFile(target, temp, "new\r\n").ok());
  EXPECT_EQ(dir.read("passwords.dat"), "new\r\n");
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

TEST_F(DataFilesTest, AnAtomicFileWrittenInPiecesCountsOnlyOnceCommitted) {
  dir.write("passwords.dat", "old\r\n");
  {
    AtomicFile replacement(target, temp);
    ASSERT_TRUE(replacement.open().ok());
    ASSERT_TRUE(replacement.write("one\r\n").ok());
    EXPECT_EQ(dir.read("passwords.dat"), "old\r\n");
  }  // dropped without commit()
  EXPECT_EQ(dir.read("passwords.dat"), "old\r\n");
  EXPECT_FALSE(dir.exists("passwords2.dat"));

  AtomicFile replacement(target, temp);
  ASSERT_TRUE(replacement.open().ok());
  ASSERT_TRUE(replacement.write("one\r\n").ok());
  ASSERT_TRUE(replacement.write("").ok());
  ASSERT_TRUE(replacement.write("two\r\n").ok());
  ASSERT_TRUE(replacement.commit().ok());
  EXPECT_EQ(dir.read("passwords.dat"), "one\r\ntwo\r\n");
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

TEST_F(DataFilesTest, ReplaceGivesANewFileOwnerOnlyAccess) {
  ASSERT_TRUE(replaceFile(target, temp, "a").ok());
  EXPECT_EQ(permissionsOf(target), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(DataFilesTest, ReplaceKeepsTheModeOfAnExistingFile) {
  ASSERT_TRUE(replaceFile(target, temp, "a").ok());
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::others_read | fs::perms::others_write;
  fs::permissions(target, shared);
  ASSERT_TRUE(replaceFile(target, temp, "b").ok());
  EXPECT_EQ(permissionsOf(target), shared);  // the umask narrows nothing
}

TEST_F(DataFilesTest, FailedReplaceLeavesNoTrace) {
  // The target is a folder: the rename fails after the temp was written.
  fs::create_directory(target);
  const Status overFolder = replaceFile(target, temp, "new");
  EXPECT_EQ(overFolder.kind(), Status::Kind::WriteFailed);
  EXPECT_FALSE(overFolder.reason().empty());
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  fs::remove(target);

  // The temp name is taken by a folder: nothing can be written at all.
  dir.write("passwords.dat", "old");
  fs::create_directory(temp);
  EXPECT_EQ(replaceFile(target, temp, "new").reason(),
            temp.string() + " is in the way: Is a directory");
  EXPECT_EQ(dir.read("passwords.dat"), "old");
  EXPECT_TRUE(fs::is_directory(temp));
}

TEST_F(DataFilesTest, ReplaceInAReadOnlyFolderFailsCleanly) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  dir.write("passwords.dat", "old");
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  const Status status = replaceFile(target, temp, "new");
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(status.reason(), "Permission denied");
  EXPECT_EQ(dir.read("passwords.dat"), "old");
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

}  // namespace
}  // namespace ombrel::storage
