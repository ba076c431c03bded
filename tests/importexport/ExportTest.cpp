// SPDX-License-Identifier: MIT
// The export's bytes in each format, the round trip of an export through an
// empty data directory, and what both commands refuse.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDataDir.h"
#include "TestEncoding.h"
#include "Transfer.h"
#include "importexport/CsvExport.h"
#include "importexport/CsvFormats.h"
#include "importexport/LoginExport.h"
#include "importexport/LoginImport.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

using ::testing::HasSubstr;
using testing::line;

const std::string kEntries = line("mail.example", "bob", "p\"w", "one\r\ntwo") +
                             line("", nullptr, nullptr, nullptr) +
                             line("https://x.example/a b", "\x80", nullptr, "");

TEST(ExportTest, WritesEachFormatAsItsProgramReadsIt) {
  struct Case {
    const char* format;
    std::string csv;
  } cases[] = {
      {"keepassxc",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n"
       "\"Ombrel\",\"mail.example\",\"bob\",\"p\"\"w\",\"http://mail.example/\",\"one\ntwo\"\n"
       "\"Ombrel\",\"\",\"\",\"\",\"\",\"\"\n"
       "\"Ombrel\",\"https://x.example/a b\",\"\xE2\x82\xAC\",\"\",\"https://x.example/a%20b\","
       "\"\"\n"},
      {"bitwarden",
       "\"folder\",\"favorite\",\"type\",\"name\",\"notes\",\"fields\",\"reprompt\","
       "\"login_uri\",\"login_username\",\"login_password\",\"login_totp\"\n"
       "\"\",\"\",\"login\",\"mail.example\",\"one\ntwo\",\"\",\"0\",\"http://mail.example/\","
       "\"bob\",\"p\"\"w\",\"\"\n"
       "\"\",\"\",\"login\",\"\",\"\",\"\",\"0\",\"\",\"\",\"\",\"\"\n"
       "\"\",\"\",\"login\",\"https://x.example/a b\",\"\",\"\",\"0\",\"https://x.example/a%20b\","
       "\"\xE2\x82\xAC\",\"\",\"\"\n"},
      {"chrome",
       "\"name\",\"url\",\"username\",\"password\",\"note\"\n"
       "\"mail.example\",\"http://mail.example/\",\"bob\",\"p\"\"w\",\"one\ntwo\"\n"
       "\"\",\"\",\"\",\"\",\"\"\n"
       "\"https://x.example/a b\",\"https://x.example/a%20b\",\"\xE2\x82\xAC\",\"\",\"\"\n"},
  };
  for (const Case& c : cases) {
    storage::MemorySource source(kEntries);
    storage::RecordReader reader(source);
    std::string csv;
    std::size_t entries = 0;
    ASSERT_TRUE(exportCsv(reader, *exportFormatNamed(c.format), csv, entries).ok());
    EXPECT_EQ(csv, c.csv) << c.format;
    EXPECT_EQ(entries, 3u);
  }
}

// Exported from one data directory and imported into an empty one, the
// entries come back field for field, but for what the import's own rules
// change: an empty name, a record seen before, a second record of a name.
TEST(RoundTripTest, AnExportComesBackThroughAnEmptyDataDirectory) {
  const std::string entries =
      line("plain.example", "u", "p", "n1\r\nn2") +
      line("https://x.example/path", nullptr, nullptr, "") + line("my bank", "u\x80", "p\"q,", "") +
      line(" padded ", "u", "p", nullptr) + line("", "lost", "p", "") +
      line("plain.example", "u", "p", "n1\r\nn2") + line("plain.example", "bob", "p2", "") +
      line("plain.example", nullptr, "p3", "") + line("a,b.example", "u", "p", "") +
      line("https://mail.example.com", "u", "p", "Title: Work mail\r\ndesk");
  const std::string common =
      line("plain.example", "u", "p", "n1\r\nn2") +
      line("https://x.example/path", nullptr, nullptr, "") + line("my bank", "u\x80", "p\"q,", "") +
      line(" padded ", "u", "p", "") + line("bob@plain.example", "bob", "p2", "");
  // A title kept in the notes comes back as it was.
  const std::string kTitled =
      line("https://mail.example.com", "u", "p", "Title: Work mail\r\ndesk");
  // Bitwarden separates addresses with commas, so a name with one is cut there.
  const std::pair<const char*, std::string> cases[] = {
      {"keepassxc", common + line("a,b.example", "u", "p", "") + kTitled},
      {"bitwarden",
       common + line("http://a", "u", "p", "Title: a,b.example\r\nURL: b.example/") + kTitled},
      {"chrome", common + line("a,b.example", "u", "p", "") + kTitled},
  };
  const mode_t umask = ::umask(0);
  for (const auto& [format, expected] : cases) {
    testing::TempDataDir from, to;
    from.write("passwords.dat", entries);
    testing::RecordingOutput output;
    const auto csv = from.file("export.csv");
    ASSERT_TRUE(exportLogins(storage::DataDirectory(from.str()), csv, "export.csv",
                             *exportFormatNamed(format), output)
                    .ok());
    EXPECT_EQ(std::filesystem::status(csv).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    EXPECT_TRUE(
        importLogins(storage::DataDirectory(to.str()), csv, "export.csv", output).isIncomplete());
    EXPECT_EQ(to.read("passwords.dat"), expected) << format;
    ASSERT_FALSE(output.reported.isEmpty());
    EXPECT_THAT(output.reported.last().toStdString(),
                HasSubstr(": 1 renamed, 1 already there, 2 skipped."));

    // The same file again adds nothing.
    EXPECT_TRUE(
        importLogins(storage::DataDirectory(to.str()), csv, "export.csv", output).isIncomplete());
    EXPECT_EQ(to.read("passwords.dat"), expected);
  }
  ::umask(umask);
}

TEST(SafetyTest, NeitherCommandActsOnADamagedEntryFileNorWritesOverAFile) {
  testing::TempDataDir dir;
  const std::string damaged = line("a", "u", "p", "") + "\"" + testing::enc("cut");
  dir.write("passwords.dat", damaged);
  dir.write("in.csv", "url,username,password\nb.example,u,p\n");
  const storage::DataDirectory data(dir.str());
  testing::RecordingOutput output;

  const CsvFormat& chrome = *exportFormatNamed("chrome");
  const CommandResult imported = importLogins(data, dir.file("in.csv"), "in.csv", output);
  EXPECT_EQ(dir.read("passwords.dat"), damaged);
  const CommandResult exported = exportLogins(data, dir.file("out.csv"), "out.csv", chrome, output);
  EXPECT_FALSE(dir.exists("out.csv"));
  for (const CommandResult& result : {imported, exported}) {
    EXPECT_TRUE(result.isFailure());
    EXPECT_THAT(result.message().toStdString(), HasSubstr("The entry file ends inside an entry"));
  }
  EXPECT_TRUE(output.reported.isEmpty());

  dir.write("passwords.dat", kEntries);
  EXPECT_TRUE(refuseExistingFile(dir.file("in.csv"), "in.csv").isFailure());
  EXPECT_EQ(exportLogins(data, dir.file("in.csv"), "in.csv", chrome, output).message(),
            "in.csv already exists. An export never writes over a file: name a new one.\n\n"
            "Nothing was exported.");
  EXPECT_EQ(dir.read("in.csv"), "url,username,password\nb.example,u,p\n");
}

}  // namespace
}  // namespace ombrel
