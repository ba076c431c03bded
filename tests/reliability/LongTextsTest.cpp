// SPDX-License-Identifier: MIT
// Very long texts from a damaged entry file in the real window: the list, the
// boxes and the notes must show them whole and stay quick to lay out and
// paint. A run of a megabyte without a blank is the hard case for wrapping.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyleOptionViewItem>
#include <QTest>

#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataDir.h"
#include "support/TestEncoding.h"
#include "ui/Form1.h"
#include "ui/SortedListBox.h"

using namespace ombrel;
using namespace ombrel::testing;

class WindowInputTest : public QObject {
  Q_OBJECT

 private slots:
  void megabyteTextsAreShownWhole();
};

void WindowInputTest::megabyteTextsAreShownWhole() {
  constexpr qsizetype kLong = 1 << 20;
  const QString longName(kLong, QLatin1Char('n'));
  const QString longNote(kLong, QLatin1Char('x'));

  TempDataDir dir;
  dir.write("pw.dat", "efgh\r\n");
  dir.write("passwords.dat", line("a.com", "ann", "pw", "short note") + "\"" +
                                 enc(std::string(kLong, 'n')) + "\",\"" + enc("u") + "\",,\r\n" +
                                 line("b.com", "bob", "pw", std::string(kLong, 'x').c_str()));
  ScriptedDialogs dialogs;
  RecordingShell shell;
  Form1 form(dialogs, shell, storage::DataDirectory(dir.str()));
  form.setEndProgram([] {});
  QVERIFY(form.formLoad());
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));

  auto* list = form.findChild<SortedListBox*>("List1");
  auto* notes = form.findChild<QPlainTextEdit*>("Text1");
  QCOMPARE(form.nameCount(), 3);
  QCOMPARE(form.nameAt(2), longName);  // the list keeps the whole name ...
  QStyleOptionViewItem option;
  option.initFrom(list);
  const int drawnWidth = list->itemDelegate()->sizeHint(option, list->model()->index(2, 0)).width();
  QVERIFY(drawnWidth < list->fontMetrics().horizontalAdvance(QString(1000, QLatin1Char('n'))));
  list->repaint();  // ... but draws it cut short

  for (int row : {1, 2, 0, 1}) {
    list->setCurrentRow(row);
    form.List1_Click();
    form.repaint();
    QCoreApplication::processEvents();
  }
  QCOMPARE(form.boxText(Box::Web), QStringLiteral("b.com"));
  QCOMPARE(form.boxText(Box::Notes), longNote);
  notes->resize(notes->width() + 7, notes->height());  // lays the long line out again
  notes->repaint();

  list->setCurrentRow(2);
  form.List1_Click();
  QCOMPARE(form.boxText(Box::Web), longName);
  QCOMPARE(form.boxText(Box::User), QStringLiteral("u"));
  QCOMPARE(form.boxText(Box::Notes), QString());
}

QTEST_MAIN(WindowInputTest)
#include "LongTextsTest.moc"
