// SPDX-License-Identifier: MIT
// The names sync tools give conflict copies, and what a merge takes from one.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "TestEncoding.h"
#include "storage/ConflictCopies.h"

namespace ombrel::storage {
namespace {

using testing::enc;
using testing::line;

TEST(ConflictCopyNames, OnlyTheThreeSyncToolsForms) {
  const std::vector<std::pair<const char*, std::optional<ConflictOf>>> cases = {
      {"passwords.sync-conflict-20260102-030405-ABCDEFG.dat", ConflictOf::Entries},
      {"passwords (conflicted copy 2026-01-02 030405).dat", ConflictOf::Entries},
      {"passwords (Ann's conflicted copy 2026-01-02).dat", ConflictOf::Entries},
      {"pw.sync-conflict-20260102-030405-ABCDEFG.dat", ConflictOf::Password},
      {"pwclr (conflicted copy 2026-01-02 030405).dat", ConflictOf::Colour},
      {"passwords.dat", std::nullopt},
      {"passwords2.dat", std::nullopt},
      {"passwords.sync-conflict-20260102-030405-ABCDEFG.dat.merged", std::nullopt},
      {".syncthing.passwords.dat.tmp", std::nullopt},
      {"help (conflicted copy 2026-01-02 030405).dat", std::nullopt},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(conflictCopyOf(name), expected) << name;
}

class MergeEntries : public ::testing::Test {
 protected:
  const std::string ours = line("a.com", "ann", "1", "") + line("b.com", "bob", "ours", "");
  // The copy: a.com unchanged (written with an unset field in another form
  // that reads the same), b.com changed there, c.com new there, twice.
  const std::string theirs = line("a.com", "ann", "1", "") + line("b.com", "bob", "theirs", "") +
                             line("c.com", "c", "3", "") + line("c.com", "c", "3", "");
};

TEST_F(MergeEntries, AddsWhatIsMissingOnce) {
  const auto merge = mergeEntries(ours, theirs);
  EXPECT_EQ(merge.added, (std::vector<Record>{{enc("b.com"), enc("bob"), enc("theirs"), ""},
                                              {enc("c.com"), enc("c"), enc("3"), ""}}));
}

TEST_F(MergeEntries, NamesTheEntriesChangedOnBothSides) {
  EXPECT_EQ(mergeEntries(ours, theirs).twoVersions, std::vector<std::string>{enc("b.com")});
}

TEST_F(MergeEntries, NeitherFileCutOffInsideARecordIsMerged) {
  using Damaged = EntryMerge::Damaged;
  EXPECT_EQ(mergeEntries(ours, theirs.substr(0, theirs.size() - 5)).damaged, Damaged::Copy);
  EXPECT_EQ(mergeEntries("\"" + enc("x"), theirs).damaged, Damaged::Current);
}

}  // namespace
}  // namespace ombrel::storage
