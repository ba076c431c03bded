// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EntryBytes.h"
#include "EntryGenerator.h"
#include "TempDataDir.h"
#include "storage/RecordReader.h"
#include "storage/ShiftCodec.h"

namespace ombrel::bench {
namespace {

// The benchmarks are only as good as their files: these must be entry files
// the program reads without complaint, varied the way a real one is, and the
// same on every run.

TEST(EntryGenerator, WritesRecordsTheProgramReadsBackExactly) {
  const GeneratedFile file = generateEntries(3000);
  ASSERT_EQ(file.records, 3000u);

  storage::MemorySource source(file.bytes);
  storage::RecordReader reader(source);
  std::size_t records = 0;
  const storage::Status read = reader.forEachRecord([&records](const storage::RecordView& record) {
    for (const storage::FieldView* field :
         {&record.name, &record.user, &record.password, &record.notes})
      EXPECT_TRUE(storage::shiftDecode(field->text).ok()) << "record " << records;
    if (record.password.set) {
      EXPECT_EQ(record.password.text.size(), 16u);
    }
    ++records;
    return storage::Status::success();
  });
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(records, 3000u);
  // Written in the one form the program writes: a rewrite that changes
  // nothing gives back the same bytes, one CR LF line per record.
  EXPECT_EQ(testing::replacingEntry(file.bytes, "\x01", std::nullopt).bytes, file.bytes);
  EXPECT_EQ(static_cast<std::size_t>(std::count(file.bytes.begin(), file.bytes.end(), '\n')),
            3000u);
}

TEST(EntryGenerator, HoldsTheCasesARealFileHas) {
  const GeneratedFile file = generateEntries(3000);
  EXPECT_GT(file.duplicateNames, 0u);
  EXPECT_GT(file.multiLineNotes, 0u);
  EXPECT_GT(file.unsetUserNames, 0u);
  EXPECT_GT(file.unsetPasswords, 0u);
  EXPECT_GT(file.emptyNotes, 0u);
  EXPECT_GT(file.unsetNotes, 0u);
  // About 85 bytes a record, so that 100,000 entries make some 9 MB.
  EXPECT_NEAR(static_cast<double>(file.bytes.size()) / 3000, 85.0, 15.0);

  const std::vector<std::string> names = testing::storedNames(file.bytes);
  EXPECT_EQ(std::count(names.begin(), names.end(), names.back()), 1)
      << "looking up the last name must read the whole file";
}

TEST(EntryGenerator, IsTheSameForTheSameSeedOnly) {
  EXPECT_EQ(generateEntries(500).bytes, generateEntries(500).bytes);
  EXPECT_NE(generateEntries(500, 1).bytes, generateEntries(500, 2).bytes);
  EXPECT_TRUE(generateEntries(0).bytes.empty());
}

TEST(EntryGenerator, PreparesADataDirectoryOnlyWhenOutOfDate) {
  testing::TempDataDir dir;
  const auto data = dir.path() / "200";
  EXPECT_TRUE(prepareDataDirectory(data, 200));
  EXPECT_EQ(dir.read("200/pw.dat"), "efgh\r\n");  // start-up asks for no password
  const std::string entries = dir.read("200/passwords.dat");
  EXPECT_EQ(entries, generateEntries(200).bytes);

  EXPECT_FALSE(prepareDataDirectory(data, 200));
  dir.write("200/passwords.dat", entries + "\"x\",,,\r\n");  // changed by a benchmark
  EXPECT_TRUE(prepareDataDirectory(data, 200));
  EXPECT_EQ(dir.read("200/passwords.dat"), entries);
  EXPECT_TRUE(prepareDataDirectory(data, 300));
}

}  // namespace
}  // namespace ombrel::bench
