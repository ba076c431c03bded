// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDataDir.h"
#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::storage {
namespace {

const Field kUnset = std::nullopt;

// Lines in the forms the program writes: a new entry, a saved entry with empty
// notes, one with an unset name, one with an empty name, and a duplicate.
const std::string kFile =
    "\"abc\",,,\"\"\r\n"
    "\"xyz\",\"u\",\"p\",\r\n"
    ",\"u0\",,\"n0\"\r\n"
    "\"\",,\"p1\",\"\"\r\n"
    "\"abc\",\"u2\",\"p2\",\"n2\"\r\n";

TEST(EntryFile, NamesComeInFileOrderWithUnsetAsEmpty) {
  bool damaged = true;
  EXPECT_EQ(readStoredNames(kFile, &damaged),
            (std::vector<std::string>{"abc", "xyz", "", "", "abc"}));
  EXPECT_FALSE(damaged);
  EXPECT_TRUE(readStoredNames("").empty());
}

TEST(EntryFile, NamesBeforeACutOffRecordAreKept) {
  bool damaged = false;
  EXPECT_EQ(readStoredNames(kFile + "\"half\",\"u\"", &damaged),
            (std::vector<std::string>{"abc", "xyz", "", "", "abc"}));
  EXPECT_TRUE(damaged);
}

TEST(EntryFile, FindsTheFirstRecordOfANameExactly) {
  bool damaged = true;
  EXPECT_EQ(findFirstRecord(kFile, "abc", &damaged), (Record{"abc", kUnset, kUnset, ""}));
  EXPECT_FALSE(damaged);
  EXPECT_EQ(findFirstRecord(kFile, "")->user, "u0");  // an unset name equals the empty key
  EXPECT_EQ(findFirstRecord(kFile, "Abc"), std::nullopt);
  EXPECT_EQ(findFirstRecord(kFile, "abc "), std::nullopt);

  // A match before the damage is found; without one the damage is reported.
  EXPECT_TRUE(findFirstRecord(kFile + "\"cut", "xyz", &damaged).has_value());
  EXPECT_FALSE(damaged);
  EXPECT_EQ(findFirstRecord(kFile + "\"cut\",", "nope", &damaged), std::nullopt);
  EXPECT_TRUE(damaged);
}

TEST(EntryFile, AppendPutsTheRecordOnALineOfItsOwn) {
  const Record added{"new", "u", kUnset, ""};
  EXPECT_EQ(appendEntry("", added), "\"new\",\"u\",,\"\"\r\n");
  EXPECT_EQ(appendEntry(kFile, added), kFile + formatRecord(added));
  // A last record without a line end (CR LF, LF or CR) gets one first.
  const std::string last = "\"xyz\",\"u\",\"p\",\"n\"";
  EXPECT_EQ(appendEntry(last, added), last + "\r\n" + formatRecord(added));
  EXPECT_EQ(appendEntry(last + "\n", added), last + "\n" + formatRecord(added));
}

// Each of these tails is cut off, or would take the first fields of the new
// line as its own: the next start would not read the old entries plus the new.
TEST(EntryFile, AppendRefusesATailTheNewRecordWouldBeReadInto) {
  const Record added{"new", "u", "p", ""};
  for (const std::string tail : {"\"half\",\"u\"", "\"half\",\"u\"\r\n", "\"half\",\"u\",,",
                                 "\"open\",\"u\",\"p\",\"no closing quote",
                                 "\"open,\"u\",\"p\",\"n\"\r\n", "\r\n\r\n,",
                                 "\"five\",\"u\",\"p\",\"n\",\"extra\"\r\n"})
    EXPECT_EQ(appendEntry(kFile + tail, added), std::nullopt) << tail;
}

// New streams the old file through in blocks: whatever the block size, every
// old byte is kept as it stands (records in other forms too), and the tails
// that held bytes would swallow the new line are refused just the same.
TEST(EntryFile, AppendFromAFileKeepsEveryOldByteWhereverTheBlocksEnd) {
  const Record added{"new", "u", "p", ""};
  const std::string odd = "  abc , u ,p,n\r\n\"q\"  ,x,\"y\", z \r\n";
  std::string many;
  for (int i = 0; i < 3000; ++i) appendRecord(many, Record{"n" + std::to_string(i), "u", "p", kUnset});
  struct Case {
    std::string data;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"", formatRecord(added)},
      {kFile + odd, kFile + odd + formatRecord(added)},
      {odd + "\"last\",,,n", odd + "\"last\",,,n\r\n" + formatRecord(added)},
      {many, many + formatRecord(added)},
      {kFile + "\"half\",\"u\"", std::nullopt},
      {kFile + "\"open,\"u\",\"p\",\"n\"\r\n", std::nullopt},
      {many + "\r\n", many + formatRecord(added)},  // blank lines at the end are dropped
      {many + "\r\n \r\n", std::nullopt},
  };
  testing::TempDataDir dir;
  for (const Case& test : cases) {
    ASSERT_EQ(appendEntry(test.data, added), test.expected) << test.data.substr(0, 40);
    dir.write("passwords.dat", test.data);
    for (std::size_t blockSize : {3u, 17u, 4096u}) {
      InputFile file;
      ASSERT_TRUE(file.open(dir.file("passwords.dat")).ok());
      FileRecordReader reader(file, blockSize);
      std::string joined;
      const RewriteCount count = appendEntry(reader, added, [&](std::string_view piece) {
        joined += piece;
        return true;
      });
      EXPECT_EQ(count.damaged, !test.expected) << blockSize;
      if (test.expected) {
        EXPECT_EQ(joined, *test.expected) << blockSize;
      }
    }
  }
}

TEST(EntryFile, RewriteReplacesEveryMatchInPlaceAndCopiesTheRest) {
  const Record replacement{"abc", "U", kUnset, kUnset};
  const Rewrite rewrite = rewriteEntries(kFile, "abc", replacement);
  EXPECT_FALSE(rewrite.damaged);
  EXPECT_EQ(rewrite.matched, 2u);
  EXPECT_EQ(rewrite.bytes,
            "\"abc\",\"U\",,\r\n"
            "\"xyz\",\"u\",\"p\",\r\n"
            ",\"u0\",,\"n0\"\r\n"
            "\"\",,\"p1\",\"\"\r\n"
            "\"abc\",\"U\",,\r\n");
}

TEST(EntryFile, RewriteWithoutAMatchGivesBackTheSameBytes) {
  const Rewrite rewrite = rewriteEntries(kFile, "none", Record{"none", "", "", ""});
  EXPECT_EQ(rewrite.matched, 0u);
  EXPECT_EQ(rewrite.bytes, kFile);
  // ... but for the blank lines after the last record.
  EXPECT_EQ(rewriteEntries(kFile + "\r\n\n", "none", std::nullopt).bytes, kFile);
}

TEST(EntryFile, RewriteDropsMatchesAndWritesLineEndsAsCrLf) {
  Rewrite rewrite = rewriteEntries(kFile, "", std::nullopt);
  EXPECT_EQ(rewrite.matched, 2u);  // the unset name and the empty one
  EXPECT_EQ(rewrite.bytes,
            "\"abc\",,,\"\"\r\n"
            "\"xyz\",\"u\",\"p\",\r\n"
            "\"abc\",\"u2\",\"p2\",\"n2\"\r\n");

  rewrite = rewriteEntries("\"a\",\"b\",\"c\",\"d\"\n\"e\",,,\"\"", "a", std::nullopt);
  EXPECT_EQ(rewrite.bytes, "\"e\",,,\"\"\r\n");
}

TEST(EntryFile, RewriteFromAReaderPassesTheFileOnInPiecesAndStopsWhenRefused) {
  // Enough records for several pieces.
  std::string data;
  for (int i = 0; i < 5000; ++i)
    appendRecord(data, Record{"n" + std::to_string(i % 7), "user", "password", kUnset});
  const Record replacement{"n3", "U", kUnset, ""};

  RecordReader reader(data);
  std::vector<std::string> pieces;
  const RewriteCount count = rewriteEntries(reader, "n3", replacement, [&](std::string_view piece) {
    pieces.emplace_back(piece);
    return true;
  });
  EXPECT_GT(pieces.size(), 1u);
  std::string joined;
  for (const std::string& piece : pieces) joined += piece;
  const Rewrite whole = rewriteEntries(data, "n3", replacement);
  EXPECT_EQ(joined, whole.bytes);
  EXPECT_EQ(count.matched, whole.matched);
  EXPECT_FALSE(count.stopped);

  RecordReader again(data);
  int calls = 0;
  const RewriteCount refused = rewriteEntries(again, "n3", replacement, [&](std::string_view) {
    ++calls;
    return false;
  });
  EXPECT_TRUE(refused.stopped);
  EXPECT_EQ(calls, 1);
}

TEST(EntryFile, RewriteOfDamagedDataIsFlagged) {
  const Rewrite rewrite = rewriteEntries(kFile + "\"abc\",,", "abc", std::nullopt);
  EXPECT_TRUE(rewrite.damaged);
}

}  // namespace
}  // namespace ombrel::storage
