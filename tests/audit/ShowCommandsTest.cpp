// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "TempDataDir.h"
#include "TestEncoding.h"
#include "audit/HealthReport.h"
#include "audit/LeakCheck.h"
#include "audit/ShowCommands.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

using testing::line;

class ShowCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("passwords.dat", line("a.example", "ann", "pw1", "line1\r\nline2") +
                                   line("b.example", nullptr, nullptr, "") +
                                   line("a.example", "second", "pw2", "") +
                                   line("A.example", "upper", "x", nullptr) +
                                   line("http://c.example", "u", "p", "n\r\n"));
  }
  testing::TempDataDir dir;
  storage::DataDirectory data{dir.str()};
};

TEST_F(ShowCommandsTest, ListsEveryNameInFileOrder) {
  const CommandText listed = listNames(data);
  EXPECT_EQ(listed.out,
            QStringList({"a.example", "b.example", "a.example", "A.example", "http://c.example"}));
  EXPECT_TRUE(listed.result.ok());
}

TEST_F(ShowCommandsTest, ShowsTheFirstEntryOfTheNameFieldByField) {
  struct Case {
    const char* name;
    ShownField field;
    QStringList lines;
  } cases[] = {
      {"a.example",
       ShownField::All,
       {"Web Site: a.example", "User Name: ann", "Password: pw1", "Notes:", "  line1", "  line2"}},
      {"a.example", ShownField::Notes, {"line1", "line2"}},
      {"a.example", ShownField::Url, {"http://a.example/"}},
      {"a.example", ShownField::Name, {"a.example"}},
      {"A.example", ShownField::User, {"upper"}},
      {"A.example", ShownField::Notes, {""}},
      {"b.example", ShownField::Password, {""}},
      {"b.example",
       ShownField::All,
       {"Web Site: b.example", "User Name: ", "Password: ", "Notes:"}},
      {"http://c.example", ShownField::Url, {"http://c.example"}},
      {"http://c.example", ShownField::Notes, {"n", ""}},
      {"http://c.example",
       ShownField::All,
       {"Web Site: http://c.example", "User Name: u", "Password: p", "Notes:", "  n"}},
  };
  for (const Case& c : cases) {
    const CommandText shown = showEntry(data, c.name, c.field);
    EXPECT_EQ(shown.out, c.lines) << c.name << " " << int(c.field);
    EXPECT_TRUE(shown.result.ok()) << c.name;
  }
}

TEST_F(ShowCommandsTest, AnUnknownNameIsAnError) {
  // Names are compared exactly as stored; an empty name and one the files
  // cannot hold name no entry.
  for (const QString& name : {QString("a.EXAMPLE"), QString(""), QString("a.example "),
                              QString::fromUtf8("\xc3\xa9.example")}) {
    const CommandText shown = showEntry(data, name, ShownField::All);
    EXPECT_TRUE(shown.out.isEmpty());
    EXPECT_EQ(shown.result.message(), "No entry is named " + name + ".");
  }
}

TEST(ShownFieldTest, KnowsTheFieldNamesExactly) {
  EXPECT_EQ(shownFieldNamed(u"url"), ShownField::Url);
  EXPECT_EQ(shownFieldNamed(u"notes"), ShownField::Notes);
  EXPECT_EQ(shownFieldNamed(u"URL"), std::nullopt);
  EXPECT_EQ(shownFieldNamed(u"web"), std::nullopt);
}

TEST(StoredEntriesTest, KeepUnsetFieldsApartFromEmptyOnes) {
  testing::TempDataDir dir;
  dir.write("passwords.dat", line("b.example", nullptr, "", ""));
  const StoredEntries stored = readEntries(storage::DataDirectory(dir.str()));
  ASSERT_TRUE(stored.status.ok());
  ASSERT_EQ(stored.entries.size(), 1u);
  EXPECT_EQ(stored.entries[0], (Entry{"b.example", std::nullopt, "", ""}));
}

TEST(EntryFileTest, AMissingFileHasNoEntriesAndADamagedOneIsAnError) {
  testing::TempDataDir dir;
  const storage::DataDirectory data(dir.str());
  EXPECT_EQ(listNames(data).out, QStringList());
  EXPECT_EQ(healthReport(data).out, QStringList{"No problems found in 0 entries."});
  EXPECT_TRUE(showEntry(data, "a.example", ShownField::All).result.isFailure());

  dir.write("passwords.dat", line("a.example", "u", "p", "") + "\"" + testing::enc("cut"));
  const CommandText commands[] = {listNames(data), showEntry(data, "a.example", ShownField::All),
                                  healthReport(data), leakCheck(data, dir.file("x"), "x")};
  for (const CommandText& failed : commands) {
    EXPECT_TRUE(failed.out.isEmpty());
    EXPECT_TRUE(failed.result.message().startsWith(
        "The entry file ends inside an entry: 4 bytes follow the last whole entry."));
  }
}

}  // namespace
}  // namespace ombrel
