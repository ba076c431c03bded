// SPDX-License-Identifier: MIT
// How the logins of a file join the entries already stored: names, second
// accounts on one address, duplicates, clashes and characters that cannot
// be stored, and the report of it all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestEncoding.h"
#include "Transfer.h"
#include "importexport/ImportReport.h"

namespace ombrel {
namespace {

using testing::line;

constexpr const char* kHeader = "url,username,password,title,notes\n";

TEST(MergeTest, LoginsJoinTheStoredEntries) {
  struct Case {
    const char* what;
    std::string stored;  // the entry file before
    std::string rows;    // after the header
    std::string added;
    QStringList report;
    std::size_t renamed, alreadyThere, skipped;
  } cases[] = {
      {"an unset field and an empty one are the same",
       line("a.example", nullptr, nullptr, ""),
       "a.example,,,,\n",
       "",
       {},
       0,
       1,
       0},
      {"the same login twice in one file",
       "",
       "a.example,u,p,,n\na.example,u,p,,n\n",
       line("a.example", "u", "p", "n"),
       {},
       0,
       1,
       0},
      {"the name as the address, trimmed, or as the title, as written",
       "",
       " https://t.example/x ,u,p,Title,\n,u,p,  Title  ,\n",
       line("https://t.example/x", "u", "p", "Title: Title") + line("  Title  ", "u", "p", ""),
       {},
       0,
       0,
       0},
      {"the title when the address is Open Site's URL of it",
       "",
       "http://my%20bank/,u,p,my bank,\nHTTP://MY%20BANK/,v,p,my bank,\n",
       line("my bank", "u", "p", "") + line("HTTP://MY%20BANK/", "v", "p", "Title: my bank"),
       {},
       0,
       0,
       0},
      {"a second account on an address with a scheme",
       line("https://accounts.example.com/", "ann", "1", ""),
       "https://accounts.example.com/,bob,2,,\nHTTPS://x.example/,ann,3,,\nHTTPS://x.example/"
       ",bob,4,,\n",
       line("https://bob@accounts.example.com/", "bob", "2", "") +
           line("HTTPS://x.example/", "ann", "3", "") +
           line("HTTPS://bob@x.example/", "bob", "4", ""),
       {"Renamed \"https://accounts.example.com/\" (line 2) to "
        "\"https://bob@accounts.example.com/\": the name is taken by another login.",
        "Renamed \"HTTPS://x.example/\" (line 4) to \"HTTPS://bob@x.example/\": the name is taken "
        "by another login."},
       2,
       0,
       0},
      {"a user part is percent-encoded byte by byte",
       line("mail.example", "x", "1", ""),
       "mail.example,bob@gmail.com,2,,\nmail.example,j\xE2\x82\xAC Z-._~,3,,\n",
       line("bob%40gmail.com@mail.example", "bob@gmail.com", "2", "") +
           line("j%E2%82%AC%20Z-._~@mail.example", "j\x80 Z-._~", "3", ""),
       {"Renamed \"mail.example\" (line 2) to \"bob%40gmail.com@mail.example\": the name is taken "
        "by another login.",
        "Renamed \"mail.example\" (line 3) to \"j%E2%82%AC%20Z-._~@mail.example\": the name is "
        "taken by another login."},
       2,
       0,
       0},
      {"a renamed form already stored is already there",
       line("s.example", "x", "1", "") + line("bob@s.example", "bob", "2", ""),
       "s.example,bob,2,,\n",
       "",
       {},
       0,
       1,
       0},
      {"clashes: no user name, or the renamed name taken too",
       line("s.example", "x", "1", "") + line("bob@s.example", "ann", "2", ""),
       "s.example,,3,,\ns.example,bob,4,,\n",
       "",
       {"Skipped \"s.example\" (line 2): it clashes with the login already stored under that "
        "name, and has no user name to tell it apart.",
        "Skipped \"s.example\" (line 3): it clashes with the login already stored under that "
        "name, and with the one stored under \"bob@s.example\"."},
       0,
       0,
       2},
      {"a login with neither address nor title",
       "",
       ",u,p,   ,n\n",
       "",
       {"Skipped the login on line 2: it has neither an address nor a title."},
       0,
       0,
       1},
      {"characters the files cannot store skip the whole login",
       "",
       "e.example,u,p\xC3\xA9,,\nf.example,u,p,,\xE4\xB8\xAD\n\xF0\x9F\x94\x91.example,u,p,,\n",
       "",
       {"Skipped \"e.example\" (line 2): its password holds the character \"\xC3\xA9\" (U+00E9), "
        "which Ombrel's files cannot store.",
        "Skipped \"f.example\" (line 3): its notes hold the character \"\xE4\xB8\xAD\" (U+4E2D), "
        "which Ombrel's files cannot store.",
        "Skipped \"\xF0\x9F\x94\x91.example\" (line 4): its name holds the character "
        "\"\xF0\x9F\x94\x91\" (U+1F511), which Ombrel's files cannot store."},
       0,
       0,
       3},
      {"rows of empty fields are no logins", "", ",,,,\n , ,,,\n", "", {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const ImportPlan plan = testing::planOf(kHeader + c.rows, c.stored);
    ASSERT_TRUE(plan.result.ok()) << c.what;
    EXPECT_EQ(testing::added(plan), c.added) << c.what;
    EXPECT_EQ(plan.lines, c.report) << c.what;
    EXPECT_EQ(plan.renamed, c.renamed) << c.what;
    EXPECT_EQ(plan.alreadyThere, c.alreadyThere) << c.what;
    EXPECT_EQ(plan.skipped, c.skipped) << c.what;
  }
}

TEST(MergeTest, ADamagedEntryFileStopsThePlan) {
  const ImportPlan plan = testing::planOf(std::string(kHeader) + "a.example,u,p,,\n",
                                          line("b", "u", "p", "") + "\"cut");
  EXPECT_THAT(plan.result.message().toStdString(),
              ::testing::HasSubstr("The entry file ends inside an entry"));
  EXPECT_TRUE(plan.records.empty());
}

TEST(ReportTest, TheSummaryGivesAllFourNumbers) {
  EXPECT_EQ(importText::summary(1, "~/in.csv", "Bitwarden", 0, 0, 0),
            "Imported 1 login from ~/in.csv (Bitwarden): 0 renamed, 0 already there, 0 skipped.");
  EXPECT_EQ(importText::summary(0, "a b.csv", "CSV", 1, 22, 333),
            "Imported 0 logins from a b.csv (CSV): 1 renamed, 22 already there, 333 skipped.");
}

}  // namespace
}  // namespace ombrel
