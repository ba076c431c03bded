// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "support/EntryBytes.h"

namespace ombrel::storage {
namespace {

using testing::addingEntries;
using testing::addingEntry;
using testing::firstNamed;
using testing::formatRecord;
using testing::FullSink;
using testing::replacingEntry;
using testing::Rewrite;
using testing::storedNames;
using testing::StringSink;

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
  Status status = Status::damaged();
  EXPECT_EQ(storedNames(kFile, &status), (std::vector<std::string>{"abc", "xyz", "", "", "abc"}));
  EXPECT_TRUE(status.ok());
  EXPECT_TRUE(storedNames("").empty());
}

TEST(EntryFile, NamesBeforeACutOffRecordAreKept) {
  Status status = Status::success();
  EXPECT_EQ(storedNames(kFile + "\"half\",\"u\"", &status),
            (std::vector<std::string>{"abc", "xyz", "", "", "abc"}));
  EXPECT_TRUE(status.isDamaged());
  EXPECT_EQ(status.damagedTail(), 10u);
}

TEST(EntryFile, FindsTheFirstRecordOfANameExactly) {
  Status status = Status::damaged();
  EXPECT_EQ(firstNamed(kFile, "abc", &status), (Record{"abc", kUnset, kUnset, ""}));
  EXPECT_TRUE(status.ok());
  EXPECT_EQ(firstNamed(kFile, "")->user, "u0");  // an unset name equals the empty key
  EXPECT_EQ(firstNamed(kFile, "Abc"), std::nullopt);
  EXPECT_EQ(firstNamed(kFile, "abc "), std::nullopt);

  // A match before the damage is found, and the damage is reported all the
  // same: the whole file is read.
  EXPECT_TRUE(firstNamed(kFile + "\"cut", "xyz", &status).has_value());
  EXPECT_TRUE(status.isDamaged());
  EXPECT_EQ(firstNamed(kFile + "\"cut\",", "nope", &status), std::nullopt);
  EXPECT_TRUE(status.isDamaged());
}

TEST(EntryFile, RecordsOfANameComeAsTheWriterWritesThem) {
  const std::string data = kFile + "  \"abc\" ,x,,\r\n";
  MemorySource source(data);
  RecordReader reader(source);
  const NamedRecords found = recordsNamed(reader, "abc");
  ASSERT_TRUE(found.status.ok());
  EXPECT_EQ(found.written, "\"abc\",,,\"\"\r\n\"abc\",\"u2\",\"p2\",\"n2\"\r\n\"abc\",\"x\",,\r\n");
}

TEST(EntryFile, AppendPutsTheRecordOnALineOfItsOwn) {
  const Record added{"new", "u", kUnset, ""};
  EXPECT_EQ(addingEntry("", added), "\"new\",\"u\",,\"\"\r\n");
  EXPECT_EQ(addingEntry(kFile, added), kFile + formatRecord(added));
  // A last record without a line end (CR LF, LF or CR) gets one first.
  const std::string last = "\"xyz\",\"u\",\"p\",\"n\"";
  EXPECT_EQ(addingEntry(last, added), last + "\r\n" + formatRecord(added));
  EXPECT_EQ(addingEntry(last + "\n", added), last + "\n" + formatRecord(added));
}

// Each of these tails is cut off, or would take the first fields of the new
// line as its own: the next start would not read the old entries plus the new.
TEST(EntryFile, AppendRefusesATailTheNewRecordWouldBeReadInto) {
  const Record added{"new", "u", "p", ""};
  for (const std::string tail :
       {"\"half\",\"u\"", "\"half\",\"u\"\r\n", "\"half\",\"u\",,",
        "\"open\",\"u\",\"p\",\"no closing quote", "\"open,\"u\",\"p\",\"n\"\r\n", "\r\n\r\n,",
        "\"five\",\"u\",\"p\",\"n\",\"extra\"\r\n"})
    EXPECT_EQ(addingEntry(kFile + tail, added), std::nullopt) << tail;
}

// Records are read back as the next start reads them: one that the reader
// would refuse is never added, whether it comes first or last.
TEST(EntryFile, AppendRefusesARecordTooLargeForTheReader) {
  const Record huge{"big", "u", "p", std::string(RecordReader::kMaxRecordBytes, 'n')};
  const Record small{"small", "u", "p", ""};
  EXPECT_FALSE(fitsOneRecord(huge));
  EXPECT_EQ(addingEntries(kFile, {huge, small}), std::nullopt);
  EXPECT_EQ(addingEntries(kFile, {small, huge}), std::nullopt);
}

// New streams the old file through in blocks: whatever the block size, every
// old byte is kept as it stands (records in other forms too), and the tails
// that held bytes would swallow the new line are refused just the same.
TEST(EntryFile, AppendKeepsEveryOldByteWhereverTheBlocksEnd) {
  const Record added{"new", "u", "p", ""};
  const std::string odd = "  abc , u ,p,n\r\n\"q\"  ,x,\"y\", z \r\n";
  std::string many;
  for (int i = 0; i < 3000; ++i)
    appendRecord(many, Record{"n" + std::to_string(i), "u", "p", kUnset});
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
      {kFile + "\"a\",\"b\",\"c\",\"open notes", std::nullopt},  // would swallow the new line
  };
  // One record, as New adds it, and several, as a merge or an import does.
  const Record second{"second", kUnset, kUnset, ""};
  for (const Case& test : cases) {
    for (bool several : {false, true}) {
      for (std::size_t blockSize : {3u, 17u, 4096u, 1u << 20}) {
        MemorySource source(test.data);
        RecordReader reader(source, blockSize);
        StringSink sink;
        const std::vector<Record> records =
            several ? std::vector<Record>{added, second} : std::vector<Record>{added};
        const Status status = copyAddingEntries(reader, records, sink);
        EXPECT_EQ(status.isDamaged(), !test.expected)
            << blockSize << ": " << test.data.substr(0, 40);
        if (test.expected) {
          EXPECT_EQ(sink.bytes, *test.expected + (several ? formatRecord(second) : ""))
              << blockSize;
        }
      }
    }
  }
}

TEST(EntryFile, RewriteReplacesEveryMatchInPlace) {
  const Record replacement{"abc", "U", kUnset, kUnset};
  const Rewrite rewrite = replacingEntry(kFile, "abc", replacement);
  EXPECT_TRUE(rewrite.status.ok());
  EXPECT_EQ(rewrite.matched.count, 2u);
  EXPECT_EQ(rewrite.matched.written, "\"abc\",,,\"\"\r\n\"abc\",\"u2\",\"p2\",\"n2\"\r\n");
  EXPECT_EQ(rewrite.bytes,
            "\"abc\",\"U\",,\r\n"
            "\"xyz\",\"u\",\"p\",\r\n"
            ",\"u0\",,\"n0\"\r\n"
            "\"\",,\"p1\",\"\"\r\n"
            "\"abc\",\"U\",,\r\n");
}

TEST(EntryFile, RewriteWithoutAMatchGivesBackTheSameBytes) {
  const Rewrite rewrite = replacingEntry(kFile, "none", Record{"none", "", "", ""});
  EXPECT_EQ(rewrite.matched.count, 0u);
  EXPECT_EQ(rewrite.bytes, kFile);
  // ... but for the blank lines after the last record.
  EXPECT_EQ(replacingEntry(kFile + "\r\n\n", "none", std::nullopt).bytes, kFile);
}

TEST(EntryFile, RewriteWithoutAReplacementDropsEveryMatch) {
  const Rewrite rewrite = replacingEntry(kFile, "", std::nullopt);
  EXPECT_EQ(rewrite.matched.count, 2u);  // the unset name and the empty one
  EXPECT_EQ(rewrite.bytes,
            "\"abc\",,,\"\"\r\n"
            "\"xyz\",\"u\",\"p\",\r\n"
            "\"abc\",\"u2\",\"p2\",\"n2\"\r\n");
}

TEST(EntryFile, RewriteWritesLineEndsAsCrLf) {
  const Rewrite rewrite =
      replacingEntry("\"a\",\"b\",\"c\",\"d\"\n\"e\",,,\"\"", "a", std::nullopt);
  EXPECT_EQ(rewrite.bytes, "\"e\",,,\"\"\r\n");
}

TEST(EntryFile, RewritePassesTheFileOnInPieces) {
  // Enough records for several pieces.
  std::string data;
  for (int i = 0; i < 5000; ++i)
    appendRecord(data, Record{"n" + std::to_string(i % 7), "user", "password", kUnset});
  const Record replacement{"n3", "U", kUnset, ""};

  MemorySource source(data);
  RecordReader reader(source);
  StringSink sink;
  MatchedRecords matched;
  ASSERT_TRUE(copyReplacingEntry(reader, "n3", replacement, sink, matched).ok());
  EXPECT_GT(sink.writes, 1);
  const Rewrite whole = replacingEntry(data, "n3", replacement);
  EXPECT_EQ(sink.bytes, whole.bytes);
  EXPECT_EQ(matched.count, whole.matched.count);
}

// A sink that runs out of room stops either copy at the write that failed,
// and its failure is what the copy returns.
TEST(EntryFile, CopiesStopAtTheFirstFailedWrite) {
  std::string data;
  for (int i = 0; i < 5000; ++i) appendRecord(data, Record{"n" + std::to_string(i), "u", "p", ""});
  const Record record{"n1", "U", kUnset, ""};
  for (std::size_t room : {0, 70000}) {
    for (bool adding : {false, true}) {
      MemorySource source(data);
      RecordReader reader(source, 4096);
      FullSink sink(room);
      MatchedRecords matched;
      const Status status = adding ? copyAddingEntries(reader, {record}, sink)
                                   : copyReplacingEntry(reader, "n1", record, sink, matched);
      EXPECT_EQ(status.kind(), Status::Kind::WriteFailed) << room << " " << adding;
      EXPECT_EQ(status.reason(), "No space left on device");
      EXPECT_EQ(sink.writes, static_cast<int>(room / (64 * 1024)) + 1) << room << " " << adding;
    }
  }
}

TEST(EntryFile, RewriteOfDamagedDataIsFlagged) {
  const Rewrite rewrite = replacingEntry(kFile + "\"abc\",,", "abc", std::nullopt);
  EXPECT_TRUE(rewrite.status.isDamaged());
}

}  // namespace
}  // namespace ombrel::storage
