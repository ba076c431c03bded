// SPDX-License-Identifier: MIT
// The message box for each style the program uses, what it returns, and the
// input prompts.
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "ui/PasswordBox.h"
#include "ui/PasswordPrompt.h"
#include "ui/QtDialogs.h"

using namespace ombrel;

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void styleShapesTheBox_data();
  void styleShapesTheBox();
  void titleDefaultsToTheApplicationTitle();
  void pressedButtonGivesItsNumber_data();
  void pressedButtonGivesItsNumber();
  void textIsShownAsItIs();
  void promptsAskInClearAndOnlyThePasswordIsTakenBack_data();
  void promptsAskInClearAndOnlyThePasswordIsTakenBack();
};

namespace {

std::unique_ptr<QDialog> makePrompt(bool password, const QString& prompt, const QString& title) {
  if (password) return makePasswordBox(prompt, title);
  return makeInputBox(prompt, title);
}

}  // namespace

// The styles are the desktop's own numbers, so that they read the same in
// every message the program gives.
static_assert(kPlainOk == 0 && kCriticalOk == 16 && kWarningOk == 48 && kInformationOk == 64 &&
              kConfirm == 276);

void DialogsTest::styleShapesTheBox_data() {
  QTest::addColumn<int>("style");
  QTest::addColumn<QMessageBox::StandardButtons>("buttons");
  QTest::addColumn<QMessageBox::Icon>("icon");
  QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
  QTest::addColumn<QMessageBox::StandardButton>("escapeButton");

  const QMessageBox::StandardButtons ok = QMessageBox::Ok;
  const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
  QTest::newRow("plain") << int(kPlainOk) << ok << QMessageBox::NoIcon << QMessageBox::Ok
                         << QMessageBox::Ok;
  QTest::newRow("critical") << int(kCriticalOk) << ok << QMessageBox::Critical << QMessageBox::Ok
                            << QMessageBox::Ok;
  QTest::newRow("warning") << int(kWarningOk) << ok << QMessageBox::Warning << QMessageBox::Ok
                           << QMessageBox::Ok;
  QTest::newRow("information") << int(kInformationOk) << ok << QMessageBox::Information
                               << QMessageBox::Ok << QMessageBox::Ok;
  QTest::newRow("confirm") << int(kConfirm) << yesNo << QMessageBox::Critical << QMessageBox::No
                           << QMessageBox::No;
}

void DialogsTest::styleShapesTheBox() {
  QFETCH(int, style);
  QFETCH(QMessageBox::StandardButtons, buttons);
  QFETCH(QMessageBox::Icon, icon);
  QFETCH(QMessageBox::StandardButton, defaultButton);
  QFETCH(QMessageBox::StandardButton, escapeButton);

  auto box = makeMessageBox(QStringLiteral("text"), style, QStringLiteral("Title"));
  QCOMPARE(box->standardButtons(), buttons);
  QCOMPARE(box->buttons().size(), buttons.testFlag(QMessageBox::Yes) ? 2 : 1);
  QCOMPARE(box->icon(), icon);
  QCOMPARE(box->standardButton(box->defaultButton()), defaultButton);
  QCOMPARE(box->standardButton(box->escapeButton()), escapeButton);
  QCOMPARE(box->windowTitle(), QStringLiteral("Title"));
}

void DialogsTest::titleDefaultsToTheApplicationTitle() {
  QCOMPARE(makeMessageBox(QStringLiteral("Operation Aborted"), kPlainOk, QString())->windowTitle(),
           QStringLiteral("ombrel"));
  for (bool password : {false, true})
    QCOMPARE(makePrompt(password, QStringLiteral("Prompt"), QString())->windowTitle(),
             QStringLiteral("ombrel"));
}

void DialogsTest::pressedButtonGivesItsNumber_data() {
  QTest::addColumn<int>("style");
  QTest::addColumn<int>("key");  // 0: click the button below
  QTest::addColumn<QMessageBox::StandardButton>("button");
  QTest::addColumn<int>("result");

  QTest::newRow("Yes") << int(kConfirm) << 0 << QMessageBox::Yes << int(kYes);
  QTest::newRow("No") << int(kConfirm) << 0 << QMessageBox::No << int(kNo);
  QTest::newRow("Enter answers No")
      << int(kConfirm) << int(Qt::Key_Return) << QMessageBox::NoButton << int(kNo);
  QTest::newRow("Escape answers No")
      << int(kConfirm) << int(Qt::Key_Escape) << QMessageBox::NoButton << int(kNo);
  QTest::newRow("OK") << int(kInformationOk) << 0 << QMessageBox::Ok << int(kOk);
  QTest::newRow("Escape on OK") << int(kCriticalOk) << int(Qt::Key_Escape) << QMessageBox::NoButton
                                << int(kOk);
}

void DialogsTest::pressedButtonGivesItsNumber() {
  QFETCH(int, style);
  QFETCH(int, key);
  QFETCH(QMessageBox::StandardButton, button);
  QFETCH(int, result);

  auto box = makeMessageBox(QStringLiteral("Are you sure?"), style, QStringLiteral("Delete File"));
  box->show();
  QVERIFY(QTest::qWaitForWindowActive(box.get()));
  if (key != 0)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
  else
    box->button(button)->click();
  QTRY_VERIFY(!box->isVisible());
  QCOMPARE(messageResult(*box), result);
}

void DialogsTest::textIsShownAsItIs() {
  const QString text = QStringLiteral("Are you sure you want to delete the file <b>a&amp;b</b>?");
  auto box = makeMessageBox(text, kConfirm, QStringLiteral("Delete File"));
  QCOMPARE(box->text(), text);
  QCOMPARE(box->textFormat(), Qt::PlainText);
}

void DialogsTest::promptsAskInClearAndOnlyThePasswordIsTakenBack_data() {
  QTest::addColumn<bool>("password");
  QTest::addColumn<int>("key");  // Return is OK, Escape Cancel

  for (bool password : {false, true}) {
    const char* kind = password ? "password" : "input";
    QTest::addRow("%s, Return", kind) << password << int(Qt::Key_Return);
    QTest::addRow("%s, Escape", kind) << password << int(Qt::Key_Escape);
  }
}

void DialogsTest::promptsAskInClearAndOnlyThePasswordIsTakenBack() {
  QFETCH(bool, password);
  QFETCH(int, key);

  auto dialog =
      makePrompt(password, QStringLiteral("Enter the Password"), QStringLiteral("Password"));
  auto* label = dialog->findChild<QLabel*>();
  auto* line = dialog->findChild<QLineEdit*>();
  QVERIFY(label && line);
  QCOMPARE(label->text(), QStringLiteral("Enter the Password"));
  QCOMPARE(dialog->windowTitle(), QStringLiteral("Password"));
  QCOMPARE(line->echoMode(), QLineEdit::Normal);  // passwords too are typed in clear
  QCOMPARE(line->text(), QString());
  QCOMPARE(qobject_cast<PasswordBox*>(line) != nullptr, password);

  dialog->show();
  QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
  QCOMPARE(QApplication::focusWidget(), line);
  const QString typed = QStringLiteral("  Secret 1 ");
  QGuiApplication::clipboard()->clear();
  QTest::keyClicks(line, typed);
  QTest::keySequence(line, QKeySequence::SelectAll);
  QTest::keySequence(line, QKeySequence::Copy);
  QCOMPARE(QGuiApplication::clipboard()->text(), typed);
  QTest::keyClick(line, Qt::Key(key));
  QCOMPARE(dialog->result(), int(key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected));
  QCOMPARE(line->text(), typed);  // untrimmed
  // A password copied from the prompt is taken back as it closes: the prompt
  // stays in memory, and the copy must not wait for it to go.
  QCOMPARE(QGuiApplication::clipboard()->text(), password ? QString() : typed);
}

QTEST_MAIN(DialogsTest)

#include "DialogsTest.moc"
