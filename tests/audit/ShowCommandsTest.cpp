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

TEST_F(ShowCommandsTest, ListsAndReadsEveryEntryInFileOrder) {
  const CommandText listed = listNames(data);
  EXPECT_EQ(listed.out,
            QStringList({"a.example", "b.example", "a.example", "A.example", "http://c.example"}));
  EXPECT_TRUE(listed.result.ok());
  // Unset fields are kept apart from empty ones.
  const StoredEntries stored = readEntries(data);
  ASSERT_EQ(stored.entries.size(), 5u);
  EXPECT_EQ(stored.entries[1], (Entry{"b.example", std::nullopt, std::nullopt, ""}));
}

TEST_F(ShowCommandsTest, ShowsTheFirstEntryOfTheNameWholeOrTheNamedField) {
  struct Case {
    const char* name;
    const char* field;  // none: the whole entry
    QStringList lines;
  } cases[] = {
      {"a.example",
       nullptr,
       {"Web Site: a.example", "User Name: ann", "Password: pw1", "Notes:", "  line1", "  line2"}},
      {"a.example", "notes", {"line1", "line2"}},
      {"a.example", "url", {"http://a.example/"}},
      {"a.example", "name", {"a.example"}},
      {"a.example", "password", {"pw1"}},
      {"A.example", "user", {"upper"}},
      {"A.example", "notes", {""}},
      {"b.example", nullptr, {"Web Site: b.example", "User Name: ", "Password: ", "Notes:"}},
      {"http://c.example", "url", {"http://c.example"}},
      {"http://c.example", "notes", {"n", ""}},
      {"http://c.example",
       nullptr,
       {"Web Site: http://c.example", "User Name: u", "Password: p", "Notes:", "  n"}},
  };
  for (const Case& c : cases) {
    const CommandText shown = showEntry(
        data, c.name, c.field ? shownFieldNamed(QString(c.field)).value() : ShownField::All);
    EXPECT_EQ(shown.out, c.lines) << c.name << " " << (c.field ? c.field : "whole");
    EXPECT_TRUE(shown.result.ok()) << c.name;
  }
  EXPECT_EQ(shownFieldNamed(u"URL"), std::nullopt);  // field words are exact
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
