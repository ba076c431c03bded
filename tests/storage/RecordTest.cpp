// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "support/EntryBytes.h"

namespace ombrel::storage {
namespace {

using testing::formatRecord;

const Field kUnset = std::nullopt;

// Every record of `data` read in blocks of `block` bytes, how the reading
// ended, and the bytes consumed.
struct Reading {
  std::vector<Record> records;
  Status status = Status::success();
  std::size_t consumed = 0;
  bool cutOff() const { return status.isDamaged(); }
};

Reading readAll(std::string_view data, std::size_t block = RecordReader::kBlockSize) {
  MemorySource source(data);
  RecordReader reader(source, block);
  Reading out;
  out.status = reader.forEachRecord([&out](const RecordView& record) {
    out.records.push_back(recordOf(record));
    return Status::success();
  });
  out.consumed = reader.position();
  return out;
}

TEST(RecordWriter, WritesTextsQuotedUnsetFieldsEmpty) {
  struct Case {
    Record record;
    std::string line;
  } cases[] = {
      {{"abc", kUnset, kUnset, ""}, "\"abc\",,,\"\"\r\n"},  // a new entry
      {{"n", "u", "p", kUnset}, "\"n\",\"u\",\"p\",\r\n"},  // saved with empty notes
      {{"n", kUnset, "p", "x"}, "\"n\",,\"p\",\"x\"\r\n"},
      {{kUnset, kUnset, kUnset, kUnset}, ",,,\r\n"},
      {{"", "", "", ""}, "\"\",\"\",\"\",\"\"\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatRecord(c.record), c.line);

  std::string out = "head";
  appendRecord(out, cases[0].record);
  EXPECT_EQ(out, "head" + cases[0].line);
}

TEST(RecordReader, ReadsOneRecordPerLineInAnyOfTheAcceptedForms) {
  struct Case {
    const char* data;
    Record expected;
  } cases[] = {
      {"\"a\",\"b\",\"c\",\"d\"\r\n", {"a", "b", "c", "d"}},
      {"\"a\",,,\"\"\r\n", {"a", kUnset, kUnset, ""}},
      {"\"a\",\"b\",\"c\",\r\n", {"a", "b", "c", kUnset}},
      {"  \"a\" , b c ,  c  ,\"d\"\n", {"a", "b c", "c", "d"}},  // blanks, LF only
      {"a,b,c,d", {"a", "b", "c", "d"}},                         // no final line end
      {"\"a\",\"b\",\"c\",\"d\"", {"a", "b", "c", "d"}},
      {"\"a\"junk,\"b\" x\r\"c\",\"d\"\r", {"a", "b", "c", "d"}},    // lone CR closes too
      {"\"a\"\r\n\r\n\"c\"\r\n\"d\"\r\n", {"a", kUnset, "c", "d"}},  // fields on lines
      {"\"a,b\r\nc\",x,y,z\r\n", {"a,b\r\nc", "x", "y", "z"}},       // quote wins
      {"\"a\",,,\"\"\r\n\r\n\n\r", {"a", kUnset, kUnset, ""}},       // blank lines end it
  };
  for (const Case& c : cases) {
    const Reading read = readAll(c.data);
    EXPECT_TRUE(read.status.ok()) << c.data;
    ASSERT_EQ(read.records.size(), 1u) << c.data;
    EXPECT_EQ(read.records[0], c.expected) << c.data;
  }
}

TEST(RecordReader, ConsumesExactlyOneLinePerRecord) {
  MemorySource source("\"a\",,,\"\"\r\n,,,\r\n\"b\",\"u\",\"p\",\"n\"\r\n");
  RecordReader reader(source);
  std::vector<std::size_t> ends;
  std::vector<Record> records;
  ASSERT_TRUE(reader
                  .forEachRecord([&](const RecordView& record) {
                    ends.push_back(reader.position());
                    records.push_back(recordOf(record));
                    return Status::success();
                  })
                  .ok());
  EXPECT_EQ(ends, (std::vector<std::size_t>{10, 15, 32}));
  EXPECT_EQ(records[1], (Record{kUnset, kUnset, kUnset, kUnset}));
  EXPECT_EQ(records[2], (Record{"b", "u", "p", "n"}));
}

TEST(RecordReader, ReportsARecordCutOffBeforeItsFourthField) {
  for (const char* data : {"\"a\",\"b\",\"c\"", "\"a\",\"b\",\"c\",", "\"a\",,,  ",
                           "\"a\",\"b\"\r\n", "\"a\",,,\"\"\r\n \r\n"}) {
    EXPECT_TRUE(readAll(data).cutOff()) << data;
  }
}

TEST(RecordReader, UnterminatedQuoteCutsOffTheRecordItStandsIn) {
  // Whatever field it opens, the record is cut off there: taken as whole, the
  // open quote would swallow any record appended after it.
  for (const char* data : {"\"x\",,,\"\"\r\n\"a\",\"b\",\"c\",\"notes\r\nmore",
                           "\"x\",,,\"\"\r\n\"abc,,,\r\n,,,\r\n"}) {
    const Reading read = readAll(data);
    EXPECT_TRUE(read.cutOff()) << data;
    EXPECT_EQ(read.records.size(), 1u) << data;
    EXPECT_EQ(read.status.damagedTail(), std::string_view(data).size() - 10) << data;
  }
}

TEST(RecordReader, KnowsWhenARecordStandsExactlyAsTheWriterWritesIt) {
  // A rewrite copies such records byte for byte, so the test is exact: the
  // bytes must be what the writer gives for the fields, and nothing else is.
  const char* lines[] = {
      "\"a\",\"b\",\"c\",\"d\"\r\n",
      "\"a\",,,\"\"\r\n",
      ",,,\r\n",
      "\"\",\"\",\"\",\"\"\r\n",
      "\"a\",\"b\",\"c\",\r\n",  // written forms
      " \"a\",,,\"\"\r\n",
      "\"a\" ,,,\"\"\r\n",
      "\"a\",, ,\"\"\r\n",  // blanks
      "a,,,\"\"\r\n",
      "\"a\"x,,,\"\"\r\n",  // unquoted, junk
      "\"a\",,,\"\"\n",
      "\"a\",,,\"\"\r",
      "\"a\",,,\"\"",  // other line ends
      "\"a\"\r\n,\r\n,\"\"\r\n",
      "\"a\",\"b\r\n",  // across lines, cut off
  };
  for (const char* line : lines) {
    MemorySource source(line);
    RecordReader reader(source);
    bool first = true;
    reader.forEachRecord([&](const RecordView& view) {
      if (std::exchange(first, false)) {
        EXPECT_EQ(view.asWritten, formatRecord(recordOf(view)) == view.bytes) << line;
        EXPECT_EQ(view.bytes, std::string_view(line).substr(0, reader.position())) << line;
      }
      return Status::success();
    });
  }
}

TEST(RecordReader, ReadsTheSameRecordsWhereverTheBlocksEnd) {
  // Every block boundary falls somewhere awkward for some block size: inside
  // a quoted text, between CR and LF, in a run of blanks, inside an
  // unterminated quote, in a record longer than the block.
  const std::string cases[] = {
      "\"a\",,,\"\"\r\n\"bb\",\"u\",\"p\",\r\n,,,\r\n  \"c\" , d e ,  f  ,\"g\"\n"
      "\"h\"junk,\"i\" x\r\"j\",\"k\"\r\"l\"\r\n\r\n\"m\"\r\n\"n\"\r\n"
      "\"a,b\r\nc\",x,y,z\r\n\"" +
          std::string(40, 'L') + "\",,,\"\"\r\n",
      "\"a\",\"b\",\"c\",\"d\"",              // no final line end
      "\"a\",,,\"\"\r\n\"b\",\"c\"\r\n",      // cut off
      "\"x\",,,\"\"\r\n\"abc,,,\r\n,,,\r\n",  // unterminated quote
      "\"x\",,,\"notes\r\nmore",
      "\"a\",,,\"\"\r\n\r\n\n\r\n\r",  // line ends alone after the last
      "\r\n\n",
      "",
  };
  for (const std::string& data : cases) {
    const Reading whole = readAll(data);
    // Only line ends may stay unread after whole records.
    if (!whole.cutOff()) {
      EXPECT_EQ(data.find_first_not_of("\r\n", whole.consumed), std::string::npos) << data;
    }
    for (std::size_t block : {1, 2, 3, 4, 5, 7, 8, 13, 64}) {
      const Reading read = readAll(data, block);
      EXPECT_EQ(read.records, whole.records) << "block " << block << ": " << data;
      EXPECT_EQ(read.status.kind(), whole.status.kind()) << "block " << block << ": " << data;
      EXPECT_EQ(read.status.damagedTail(), whole.status.damagedTail()) << "block " << block;
      EXPECT_EQ(read.consumed, whole.consumed) << "block " << block << ": " << data;
    }
  }
}

// A read that fails half-way must never pass for the end of the file, nor for
// a file cut off there: a rewrite that took it so would drop every record
// after it.
TEST(RecordReader, AReadErrorIsReturnedBeforeAnyRecordItCuts) {
  std::string data;
  std::vector<std::size_t> ends;  // of each record
  for (int i = 0; i < 12; ++i) {
    appendRecord(data, Record{"n" + std::to_string(i), "user", kUnset, ""});
    ends.push_back(data.size());
  }
  const Reading whole = readAll(data);
  for (std::size_t readable = 0; readable < data.size(); ++readable) {
    testing::FailingSource source(data, readable);
    RecordReader reader(source, 16);
    std::vector<Record> records;
    const Status status = reader.forEachRecord([&records](const RecordView& record) {
      records.push_back(recordOf(record));
      return Status::success();
    });
    EXPECT_EQ(status.kind(), Status::Kind::ReadFailed) << readable;
    EXPECT_EQ(status.reason(), "Input/output error");
    ASSERT_LE(records.size(), whole.records.size());
    EXPECT_TRUE(std::equal(records.begin(), records.end(), whole.records.begin())) << readable;
    if (!records.empty()) {
      EXPECT_LE(ends[records.size() - 1], readable);
    }
  }
}

TEST(RecordReader, ReadsBackWhatTheWriterWrote) {
  const std::vector<Record> records = {
      {"\xCC\xD8\xD8", kUnset, kUnset, ""},
      {"\xFF\xC8", "", "\xDD", kUnset},
      {kUnset, "u", kUnset, "line\x71\x6Eline"},  // encoded CR LF inside the notes
  };
  std::string data;
  for (const Record& r : records) appendRecord(data, r);
  EXPECT_EQ(readAll(data).records, records);
}

}  // namespace
}  // namespace ombrel::storage
