// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "support/TempDataDir.h"

namespace ombrel::storage {
namespace {

const Field kUnset = std::nullopt;

// Every record of `data`; stops at the first one that is cut off.
std::vector<Record> readAll(std::string_view data, bool* cutOff = nullptr,
                            std::size_t* consumed = nullptr) {
  RecordReader reader(data);
  std::vector<Record> records;
  Record record;
  bool failed = false;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      failed = true;
      break;
    }
    records.push_back(record);
  }
  if (cutOff) *cutOff = failed;
  if (consumed) *consumed = reader.position();
  return records;
}

TEST(RecordWriter, QuotesTextsAndLeavesUnsetFieldsEmpty) {
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
    bool cutOff = true;
    const auto records = readAll(c.data, &cutOff);
    EXPECT_FALSE(cutOff) << c.data;
    ASSERT_EQ(records.size(), 1u) << c.data;
    EXPECT_EQ(records[0], c.expected) << c.data;
  }
}

TEST(RecordReader, ConsumesExactlyOneLinePerRecord) {
  RecordReader reader("\"a\",,,\"\"\r\n,,,\r\n\"b\",\"u\",\"p\",\"n\"\r\n");
  Record record;
  ASSERT_TRUE(reader.next(record));
  EXPECT_EQ(reader.position(), 10u);
  ASSERT_TRUE(reader.next(record));
  EXPECT_EQ(record, (Record{kUnset, kUnset, kUnset, kUnset}));
  ASSERT_TRUE(reader.next(record));
  EXPECT_EQ(record, (Record{"b", "u", "p", "n"}));
  EXPECT_TRUE(reader.atEnd());
}

TEST(RecordReader, ReportsARecordCutOffBeforeItsFourthField) {
  for (const char* data : {"\"a\",\"b\",\"c\"", "\"a\",\"b\",\"c\",", "\"a\",,,  ",
                           "\"a\",\"b\"\r\n", "\"a\",,,\"\"\r\n \r\n"}) {
    bool cutOff = false;
    readAll(data, &cutOff);
    EXPECT_TRUE(cutOff) << data;
  }
}

TEST(RecordReader, UnterminatedQuoteTakesTheRestOfTheData) {
  bool cutOff = false;
  auto records = readAll("\"a\",\"b\",\"c\",\"notes\r\nmore", &cutOff);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].notes, "notes\r\nmore");

  // In the name field it leaves no byte to start the other three fields.
  records = readAll("\"x\",,,\"\"\r\n\"abc,,,\r\n,,,\r\n", &cutOff);
  EXPECT_TRUE(cutOff);
  EXPECT_EQ(records.size(), 1u);
}

TEST(RecordReader, KnowsWhenARecordStandsExactlyAsTheWriterWritesIt) {
  // A rewrite copies such records byte for byte, so the test is exact: the
  // bytes must be what the writer gives for the fields, and nothing else is.
  const char* lines[] = {
      "\"a\",\"b\",\"c\",\"d\"\r\n", "\"a\",,,\"\"\r\n", ",,,\r\n", "\"\",\"\",\"\",\"\"\r\n",
      "\"a\",\"b\",\"c\",\r\n",                              // written forms
      " \"a\",,,\"\"\r\n", "\"a\" ,,,\"\"\r\n", "\"a\",, ,\"\"\r\n",       // blanks
      "a,,,\"\"\r\n", "\"a\"x,,,\"\"\r\n",                       // unquoted, junk
      "\"a\",,,\"\"\n", "\"a\",,,\"\"\r", "\"a\",,,\"\"",                // other line ends
      "\"a\"\r\n,\r\n,\"\"\r\n", "\"a\",\"b\r\n",                      // across lines, cut off
  };
  for (const char* line : lines) {
    RecordReader reader(line);
    RecordView view;
    if (!reader.next(view)) {
      EXPECT_FALSE(view.asWritten) << line;
      continue;
    }
    auto field = [](const FieldView& v) { return v.set ? Field(std::string(v.text)) : kUnset; };
    const std::string written =
        formatRecord({field(view.name), field(view.user), field(view.password), field(view.notes)});
    EXPECT_EQ(view.asWritten, written == view.bytes) << line;
    EXPECT_EQ(view.bytes, std::string_view(line).substr(0, reader.position())) << line;
  }
}

// What a file reader reads from `data` with blocks of `blockSize` bytes, as
// readAll does: the records, whether the last was cut off, the bytes consumed.
struct FileReading {
  std::vector<Record> records;
  bool cutOff = false;
  std::size_t consumed = 0;
};

FileReading readFileInBlocks(const testing::TempDataDir& dir, std::string_view data,
                             std::size_t blockSize) {
  dir.write("passwords.dat", data);
  InputFile file;
  EXPECT_TRUE(file.open(dir.file("passwords.dat")).ok());
  FileRecordReader reader(file, blockSize);
  FileReading out;
  Record record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      out.cutOff = true;
      break;
    }
    out.records.push_back(record);
  }
  EXPECT_TRUE(reader.status().ok());
  out.consumed = reader.position();
  return out;
}

TEST(FileRecordReader, ReadsTheSameRecordsWhereverTheBlocksEnd) {
  // Every block boundary falls somewhere awkward for some block size: inside
  // a quoted text, between CR and LF, in a run of blanks, inside an
  // unterminated quote, in a record longer than the block.
  const std::string cases[] = {
      "\"a\",,,\"\"\r\n\"bb\",\"u\",\"p\",\r\n,,,\r\n  \"c\" , d e ,  f  ,\"g\"\n"
      "\"h\"junk,\"i\" x\r\"j\",\"k\"\r\"l\"\r\n\r\n\"m\"\r\n\"n\"\r\n"
      "\"a,b\r\nc\",x,y,z\r\n\"" + std::string(40, 'L') + "\",,,\"\"\r\n",
      "\"a\",\"b\",\"c\",\"d\"",                    // no final line end
      "\"a\",,,\"\"\r\n\"b\",\"c\"\r\n",              // cut off
      "\"x\",,,\"\"\r\n\"abc,,,\r\n,,,\r\n",            // unterminated quote
      "\"x\",,,\"notes\r\nmore",
      "\"a\",,,\"\"\r\n\r\n\n\r\n\r",  // line ends alone after the last
      "\r\n\n",
      "",
  };
  testing::TempDataDir dir;
  for (const std::string& data : cases) {
    bool cutOff = false;
    std::size_t consumed = 0;
    const std::vector<Record> whole = readAll(data, &cutOff, &consumed);
    // Only line ends may stay unread after whole records.
    if (!cutOff) {
      EXPECT_EQ(data.find_first_not_of("\r\n", consumed), std::string::npos) << data;
    }
    for (std::size_t block : {1, 2, 3, 4, 5, 7, 8, 13, 64}) {
      const FileReading read = readFileInBlocks(dir, data, block);
      EXPECT_EQ(read.records, whole) << "block " << block << ": " << data;
      EXPECT_EQ(read.cutOff, cutOff) << "block " << block << ": " << data;
      if (!cutOff) {
        EXPECT_EQ(read.consumed, consumed) << "block " << block << ": " << data;
      }
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
  EXPECT_EQ(readAll(data), records);
}

}  // namespace
}  // namespace ombrel::storage
