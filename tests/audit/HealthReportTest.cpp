// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "audit/HealthReport.h"

namespace ombrel {
namespace {

Entry entry(const char* name, const char* password) {
  return {QString(name), QString("user"),
          password ? std::optional<QString>(password) : std::nullopt, QString()};
}

// Estimates of the real zxcvbn: "password" 0.0 bits, "Tr0ub4dor&3" 46.7,
// "Fv7@Lp2#Wc9" 62.0 and "Fv7@Lp2#Wc9!" 65.7, either side of the line.
constexpr const char* kStrong = "kX9#mQ2$vL7!pR4w";
constexpr const char* kStrong2 = "Zq8!rT3#nB6&yH1x";

TEST(HealthReportTest, ListsWhatToFix) {
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    QStringList report;
  } cases[] = {
      {"strong, distinct, encrypted",
       {entry("https://bank.example", kStrong), entry("mail.example", kStrong2),
        entry("shop.example", "Fv7@Lp2#Wc9!")},
       {"No problems found in 3 entries."}},
      {"every kind",
       {entry("webmail.example", "password"), entry("store.example", "password"),
        entry("club.example", kStrong), entry("router.local", nullptr),
        entry("news.example", kStrong), entry("blank.example", ""),
        entry("http://wiki.example/", kStrong2), entry("HTTP://Old.example", "Tr0ub4dor&3"),
        entry("wiki.example", "Fv7@Lp2#Wc9"), entry("https://secure.example", "Fv7@Lp2#Wc9!"),
        entry("http:/half.example", "Fv7@Lp2#Wc9!"), entry("httpx.example", "Fv7@Lp2#Wc9!")},
       {"Reused passwords (3 groups):", "  webmail.example, store.example",
        "  club.example, news.example",
        "  https://secure.example, http:/half.example, httpx.example", "Weak passwords (4):",
        "  webmail.example (0 bits)", "  store.example (0 bits)", "  HTTP://Old.example (46 bits)",
        "  wiki.example (61 bits)", "Empty passwords (2):", "  router.local", "  blank.example",
        "Sent without encryption (2):", "  http://wiki.example/", "  HTTP://Old.example",
        "11 problems in 12 entries."}},
      {"one of each count",
       {entry("http://a.example", "Tr0ub4dor&3"), entry("b.example", kStrong),
        entry("c.example", kStrong)},
       {"Reused passwords (1 group):", "  b.example, c.example",
        "Weak passwords (1):", "  http://a.example (46 bits)",
        "Sent without encryption (1):", "  http://a.example", "3 problems in 3 entries."}},
      {"one entry", {entry("", "")}, {"Empty passwords (1):", "  ", "1 problem in 1 entry."}},
  };
  for (const Case& c : cases) {
    const CommandText report = healthReport(c.entries);
    EXPECT_EQ(report.out, c.report) << c.what;
    EXPECT_TRUE(report.notes.isEmpty()) << c.what;
    EXPECT_EQ(report.result.exitStatus(), c.report.size() == 1 ? 0 : 3) << c.what;
    for (const QString& printed : report.out)
      for (const char* secret : {kStrong, kStrong2, "Fv7@Lp2#Wc9", "Tr0ub4dor&3"})
        EXPECT_FALSE(printed.contains(secret)) << c.what;
  }
}

}  // namespace
}  // namespace ombrel
