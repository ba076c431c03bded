// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <algorithm>
#include <random>

#include "TempDataDir.h"
#include "audit/LeakCheck.h"

namespace ombrel {
namespace {

// One line of a leak list: the hash in hex and the times it was seen.
struct Leak {
  QByteArray hex;
  unsigned count;
};

Leak leaked(const QString& password, unsigned count) {
  return {QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha1).toHex().toUpper(),
          count};
}

// The list as its publisher lays it out: `fillers` other passwords besides
// the stored ones, sorted by hash or by count (most seen first).
struct ListShape {
  bool byCount = false;
  bool lowerCase = false;
  bool crLf = true;
  bool finalLineEnd = true;
};

std::vector<Leak> leaks(std::vector<Leak> known, int fillers) {
  for (int i = 0; i < fillers; ++i)
    known.push_back(leaked("filler-" + QString::number(i), i % 90 + 1));
  std::sort(known.begin(), known.end(), [](const Leak& a, const Leak& b) { return a.hex < b.hex; });
  return known;
}

std::string listText(std::vector<Leak> lines, const ListShape& shape) {
  if (shape.byCount)
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Leak& a, const Leak& b) { return a.count > b.count; });
  std::string text;
  for (const Leak& leak : lines) {
    text += (shape.lowerCase ? leak.hex.toLower() : leak.hex).toStdString();
    text += ":" + std::to_string(leak.count) + (shape.crLf ? "\r\n" : "\n");
  }
  if (!shape.finalLineEnd) text.erase(text.find_last_not_of("\r\n") + 1);
  return text;
}

// Every line of a large list, the first and the last among them, and hashes
// between and beyond them that it does not hold: a bisection finds what a
// whole reading finds, in every layout the list is published in.
TEST(LeakListTest, FindsEachHashInEveryLayoutOfTheList) {
  const std::vector<Leak> lines = leaks({}, 20000);
  std::vector<Sha1> asked;
  std::vector<std::optional<std::uint64_t>> expected;
  for (std::size_t i = 0; i < lines.size(); i += i < 20 || i + 20 > lines.size() ? 1 : 97) {
    Sha1 hash;
    const QByteArray bytes = QByteArray::fromHex(lines[i].hex);
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(hash.data()));
    asked.push_back(hash);
    expected.push_back(lines[i].count);
    hash[19] ^= 1;  // the next filler differs in its first bytes already
    asked.push_back(hash);
    expected.push_back(std::nullopt);
  }
  Sha1 highest;
  highest.fill(0xff);
  asked.insert(asked.end(), {Sha1{}, highest});
  expected.insert(expected.end(), 2, std::nullopt);

  testing::TempDataDir dir;
  const ListShape shapes[] = {
      {}, {false, true, false, false}, {true}, {true, true, false}};  // by count last
  for (const ListShape& shape : shapes) {
    dir.write("list.txt", listText(lines, shape));
    const LeakSearch search = searchLeakList(dir.file("list.txt"), asked);
    ASSERT_TRUE(search.status.ok());
    EXPECT_EQ(search.way, shape.byCount ? LeakSearch::Way::WholeFile : LeakSearch::Way::Bisection);
    EXPECT_EQ(search.counts, expected) << "layout " << &shape - shapes;
  }
}

const QString kSorted = "list.txt is sorted by hash: each password was looked up by bisection.";
const QString kUnsorted = "list.txt is not sorted by hash: it was read from start to end.";
const QString kDisorder =
    "list.txt looked sorted by hash, but a lookup met lines out of order: it was read from start "
    "to end instead.";

class LeakCheckTest : public ::testing::Test {
 protected:
  CommandText check(const std::string& list, const LeakSearchOptions& options = {}) {
    dir.write("list.txt", list);
    return leakCheck(entries, dir.file("list.txt"), "list.txt", options);
  }

  testing::TempDataDir dir;
  // "€uro" is hashed as UTF-8, not as the Windows-1252 bytes the file holds.
  std::vector<Entry> entries = {
      {"a.example", "ann", "hunter2", ""},
      {"b.example", "bob", "correct horse", ""},
      {"c.example", "cy", "", ""},
      {"d.example", "di", "hunter2", std::nullopt},
      {"e.example", std::nullopt, QString::fromUtf8("\xe2\x82\xacuro"), ""},
      {"f.example", "fay", std::nullopt, ""}};
  std::vector<Leak> stored = {leaked("hunter2", 17),
                              leaked(QString::fromUtf8("\xe2\x82\xacuro"), 1)};
};

TEST_F(LeakCheckTest, NamesTheEntriesFoundAndSaysHowTheListWasRead) {
  // Sorted at both ends, shuffled between: a look at the ends alone takes it
  // for sorted, so the lookups meet the disorder; the usual sample does not.
  std::vector<Leak> shuffled = leaks(stored, 3000);
  std::shuffle(shuffled.begin() + 1, shuffled.end() - 1, std::mt19937(7));
  const std::string sorted = listText(leaks(stored, 3000), {}), mixed = listText(shuffled, {});
  const struct {
    const std::string& list;
    LeakSearchOptions options;
    QString way;
  } cases[] = {{sorted, {}, kSorted}, {mixed, {0}, kDisorder}, {mixed, {}, kUnsorted}};
  for (const auto& c : cases) {
    const CommandText checked = check(c.list, c.options);
    EXPECT_EQ(checked.out,
              QStringList({"a.example: seen 17 times", "d.example: seen 17 times",
                           "e.example: seen 1 time", "3 of 4 passwords found in list.txt."}));
    EXPECT_EQ(checked.notes, QStringList{c.way});
    EXPECT_TRUE(checked.result.foundSomething()) << c.way.toStdString();
  }
}

TEST_F(LeakCheckTest, ReportsNothingFoundAndWhatCannotBeRead) {
  EXPECT_EQ(check("").out, QStringList{"0 of 4 passwords found in list.txt."});
  const CommandText none = check(listText(leaks({}, 1), {}));
  EXPECT_EQ(none.out, QStringList{"0 of 4 passwords found in list.txt."});
  EXPECT_EQ(none.notes, QStringList{kSorted});
  EXPECT_TRUE(none.result.ok());

  std::string broken = listText(leaks(stored, 3), {true});
  broken.insert(broken.find('\n', broken.find('\n') + 1) + 1, "NOT A HASH:1\r\n");
  const std::pair<std::string, QString> cases[] = {
      {broken, "Line 3 is not a SHA-1 hash and a count."},
      {listText({{QByteArray(40, 'A'), 1}}, {}) + leaked("hunter2", 0).hex.toStdString() + ":12x",
       "Line 2 is not a SHA-1 hash and a count."},
  };
  for (const auto& [list, error] : cases) {
    const CommandText failed = check(list);
    EXPECT_TRUE(failed.out.isEmpty()) << error.toStdString();
    EXPECT_EQ(failed.result.message(), "The list of leaked passwords could not be read:\n" +
                                           QString::fromStdString(dir.file("list.txt").string()) +
                                           "\n\n" + error);
  }
  EXPECT_TRUE(leakCheck(entries, dir.file("none.txt"), "none.txt")
                  .result.message()
                  .endsWith("\n\nNo such file or directory."));
  EXPECT_TRUE(
      leakCheck(entries, dir.path(), "folder").result.message().endsWith("\n\nIs a directory."));
}

}  // namespace
}  // namespace ombrel
