// SPDX-License-Identifier: MIT
// The entry list keeps its names sorted without regard to case, fills in
// bulk, and tells user picks apart from its own changes.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <random>

#include "text/NameOrder.h"
#include "ui/SortedListBox.h"

using ombrel::SortedListBox;

namespace {

QStringList namesOf(const SortedListBox& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.nameAt(i);
  return names;
}

QStringList namesOf(const ombrel::NameBlock& block) {
  QStringList names;
  for (qsizetype i = 0; i < block.size(); ++i) names << block.at(i).toString();
  return names;
}

// Names with many ties but for case, duplicates and an empty one.
QStringList mixedNames(int count, unsigned seed) {
  const QStringList stems{"alpha", "Beta", "gamma", "delta", "", "mail.example", "Zeta", "zeta"};
  std::mt19937 random(seed);
  QStringList names;
  for (int i = 0; i < count; ++i) {
    QString name = stems[random() % stems.size()];
    if (random() % 2) name = name.toUpper();
    if (random() % 3 == 0) name += QString::number(random() % 5);
    names << name;
  }
  return names;
}

}  // namespace

class SortedListBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void sortsWithoutRegardToCase();
  void namesEqualButForCaseKeepTheirOrder();
  void bulkLoadAgreesWithSingleInserts();
  void fillsOneHundredThousandNamesInOrder();
  void orderAgreesWithQtCaseFolding();
  void bulkSortAgreesWithQtCaseFolding();
  void nameBlockKeepsEveryNameAsItGrows();
  void ownChangesRaiseNoPick();
  void userPicksAreReported();
  void removingThePickedNameLeavesNothingPicked();
  void removingANameTakesEveryItemOfItAlone();
};

void SortedListBoxTest::sortsWithoutRegardToCase() {
  SortedListBox list;
  for (const char* name : {"cherry", "apple", "Banana", "banana split", "Apples"})
    list.addName(name);
  QCOMPARE(namesOf(list), QStringList({"apple", "Apples", "Banana", "banana split", "cherry"}));
  // A name that sorts first goes to the top, whatever came before it.
  list.addName(QStringLiteral("AAA"));
  QCOMPARE(list.nameAt(0), QStringLiteral("AAA"));
}

void SortedListBoxTest::namesEqualButForCaseKeepTheirOrder() {
  SortedListBox list;
  for (const char* name : {"site", "SITE", "b", "Site", "site", "a"}) list.addName(name);
  QCOMPARE(namesOf(list), QStringList({"a", "b", "site", "SITE", "Site", "site"}));

  SortedListBox bulk;
  bulk.addNames({"site", "SITE", "b", "Site", "site", "a"});
  QCOMPARE(namesOf(bulk), namesOf(list));
}

void SortedListBoxTest::bulkLoadAgreesWithSingleInserts() {
  const QStringList first = mixedNames(300, 1);
  const QStringList second = mixedNames(300, 2);

  SortedListBox one;
  for (const QString& name : first + second) one.addName(name);

  // Bulk into an empty list, then bulk into a filled one.
  SortedListBox bulk;
  bulk.addNames(first);
  bulk.addNames(second);
  QCOMPARE(namesOf(bulk), namesOf(one));

  // Single names into a bulk-loaded list.
  SortedListBox mixed;
  mixed.addNames(first);
  for (const QString& name : second) mixed.addName(name);
  QCOMPARE(namesOf(mixed), namesOf(one));
  QCOMPARE(one.count(), 600);  // duplicates and empty names are kept
}

void SortedListBoxTest::fillsOneHundredThousandNamesInOrder() {
  QStringList names;
  names.reserve(100000);
  std::mt19937 random(7);
  for (int i = 0; i < 100000; ++i) names << QStringLiteral("site%1.example").arg(random());

  SortedListBox list;
  list.resize(300, 400);
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  list.addNames(names);
  QCoreApplication::processEvents();
  QCOMPARE(list.count(), 100000);
  for (int i = 1; i < list.count(); i += 997) {
    QVERIFY2(ombrel::compareNames(list.nameAt(i - 1), list.nameAt(i)) <= 0,
             qPrintable(list.nameAt(i - 1) + " before " + list.nameAt(i)));
  }
}

void SortedListBoxTest::orderAgreesWithQtCaseFolding() {
  // The ASCII shortcut must give the order of Qt's case-blind comparison.
  const QStringList samples = {"",
                               "a",
                               "A",
                               "ab",
                               "aB",
                               "Ab",
                               "abc",
                               "b",
                               "_",
                               "[",
                               "`",
                               "{",
                               "Z",
                               "z",
                               "0",
                               " ",
                               QString::fromUtf8("\u00e9"),
                               QString::fromUtf8("\u00c9"),
                               QString::fromUtf8("e\u00e9"),
                               QString::fromUtf8("E\u00c9x"),
                               QString::fromUtf8("\u212a"),
                               "k",
                               "K",
                               QString::fromUtf8("\u20ac1"),
                               QString::fromUtf8("a\u00df"),
                               "ass",
                               "ASS"};
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const QString& a : samples)
    for (const QString& b : samples)
      QVERIFY2(
          sign(ombrel::compareNames(a, b)) == sign(QString::compare(a, b, Qt::CaseInsensitive)),
          qPrintable(a + " / " + b));
}

void SortedListBoxTest::bulkSortAgreesWithQtCaseFolding() {
  // The bulk sort compares the first 16 folded characters as integers and the
  // rest as bytes: names that differ only past the 16th character, that are
  // prefixes of one another, hold a NUL or leave ASCII must still land where
  // Qt's comparison puts them, and ties must keep their order.
  const QString alphabet = QString::fromUtf8("aAbB_[`z\u00e9\u00c9\u20ac\u0152\u0153") + QChar(0);
  const QStringList prefixes{"", "http://www.examp", "HTTP://WWW.EXAMP", "http://www.exam", "www.",
                             "a"};
  std::mt19937 random(11);
  QStringList names;
  for (int i = 0; i < 20000; ++i) {
    QString name = prefixes[random() % prefixes.size()];
    const int extra = static_cast<int>(random() % 24);
    for (int j = 0; j < extra; ++j) {
      // Mostly ASCII, as real names are, so that both kinds of comparison meet.
      const int pick = static_cast<int>(random() % (random() % 4 ? 8 : alphabet.size()));
      name += alphabet[pick];
    }
    names << name;
  }
  // Names that share many thousands of characters, and differ only in case or
  // length after them.
  for (const char* end : {"b", "A", "", "a"})
    names << QString(100000, QLatin1Char(*end == 'A' ? 'X' : 'x')) + QLatin1String(end);
  QStringList expected = names;
  std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  ombrel::NameBlock sorted = names;
  ombrel::sortNames(sorted);
  QCOMPARE(namesOf(sorted), expected);
}

void SortedListBoxTest::nameBlockKeepsEveryNameAsItGrows() {
  // Names written in place, copied in, and copied from the block itself while
  // its text moves to a larger allocation.
  ombrel::NameBlock block;
  QStringList expected;
  for (int i = 0; i < 2000; ++i) {
    const QString name = QStringLiteral("name %1 ").arg(i).repeated(i % 7);
    if (i % 3 == 0) {
      QChar* out = block.beginName(name.size() + 10);  // room to spare
      block.endName(std::copy(name.begin(), name.end(), out));
    } else if (i % 3 == 1) {
      block.append(name);
    } else {
      block.append(block.at(i / 2));
      expected << expected[i / 2];
      continue;
    }
    expected << name;
  }
  QCOMPARE(namesOf(block), expected);

  block.insert(1, QStringLiteral("inserted"));
  block.removeAt(0);
  expected.insert(1, QStringLiteral("inserted"));
  expected.removeAt(0);
  QCOMPARE(namesOf(block), expected);
}

void SortedListBoxTest::ownChangesRaiseNoPick() {
  SortedListBox list;
  list.addNames({"b", "d", "f"});
  list.setCurrentRow(1);  // "d" picked
  QSignalSpy picked(&list, &SortedListBox::userSelectionChanged);

  list.addName(QStringLiteral("a"));
  list.addNames({"c", "e", "g"});
  QCOMPARE(list.selectedIndex(), 3);  // "d" is still the pick, moved down
  QCOMPARE(list.nameAt(list.selectedIndex()), QStringLiteral("d"));
  list.removeNameAt(0);
  QCOMPARE(list.nameAt(list.selectedIndex()), QStringLiteral("d"));
  list.removeNameAt(list.selectedIndex());
  list.clearNames();
  QCOMPARE(picked.count(), 0);
}

void SortedListBoxTest::userPicksAreReported() {
  SortedListBox list;
  list.addNames({"alpha", "beta", "gamma"});
  list.resize(200, 200);
  list.show();
  QVERIFY(QTest::qWaitForWindowActive(&list));
  QSignalSpy picked(&list, &SortedListBox::userSelectionChanged);

  const QRect beta = list.nameRect(1);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, beta.center());
  QCOMPARE(picked.count(), 1);
  QCOMPARE(list.selectedIndex(), 1);

  QTest::keyClick(&list, Qt::Key_Down);
  QCOMPARE(picked.count(), 2);
  QCOMPARE(list.selectedIndex(), 2);

  // Ctrl+click on the pick keeps it: a single-selection list is never emptied
  // by the user.
  const QRect gamma = list.nameRect(2);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, gamma.center());
  QCOMPARE(list.selectedIndex(), 2);
  QCOMPARE(picked.count(), 2);
}

void SortedListBoxTest::removingThePickedNameLeavesNothingPicked() {
  SortedListBox list;
  list.addNames({"alpha", "beta", "gamma"});
  list.setCurrentRow(1);
  list.removeNameAt(1);
  QCOMPARE(list.selectedIndex(), -1);
  QCOMPARE(namesOf(list), QStringList({"alpha", "gamma"}));

  list.removeNameAt(5);  // no such item: nothing happens
  list.removeNameAt(-1);
  QCOMPARE(list.count(), 2);
  QCOMPARE(list.nameAt(2), QString());
}

void SortedListBoxTest::removingANameTakesEveryItemOfItAlone() {
  // Many items equal but for case around the removed ones: only exact
  // matches go, wherever they lie in their run.
  SortedListBox list;
  list.addNames(mixedNames(400, 11));
  for (const QString name : {"BETA", "zeta", "", "absent"}) {
    QStringList expected = namesOf(list);
    expected.removeAll(name);
    list.removeName(name);
    QCOMPARE(namesOf(list), expected);
  }
}

QTEST_MAIN(SortedListBoxTest)

#include "SortedListBoxTest.moc"
