// SPDX-License-Identifier: MIT
// What the text boxes put on the clipboard, and when the password box takes
// it back. The PRIMARY selection exists only on X11: clipboard_test.py checks
// it in a real X server.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <chrono>
#include <memory>

#include "WindowFixture.h"
#include "ui/PasswordBox.h"

using namespace ombrel;
using namespace ombrel::testing;
using namespace std::chrono_literals;

namespace {

const QString kHint = QStringLiteral("x-kde-passwordManagerHint");

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

// Copies or cuts by the keys given, or by the context menu's item of that
// name, as the user would.
void copyBy(QLineEdit* box, const QString& how) {
  if (!how.startsWith(QLatin1String("menu "))) {
    QTest::keySequence(box, QKeySequence(how));
    return;
  }
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), box->mapToGlobal(QPoint(4, 4)));
  QApplication::sendEvent(box, &event);
  auto* menu = box->findChild<QMenu*>();
  QVERIFY(menu);
  // The items as Qt words them, less the mnemonic and the keys.
  const QString item = how.mid(5);
  QAction* action = nullptr;
  for (QAction* candidate : menu->actions()) {
    if (candidate->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0) == item)
      action = candidate;
  }
  QVERIFY(action);
  QVERIFY(action->isEnabled());
  action->trigger();
  menu->close();
}

// The menu's items as the user sees them: words, keys and whether each can
// be chosen.
QStringList itemsOf(QMenu* menu) {
  QStringList items;
  for (QAction* action : menu->actions())
    items << (action->isSeparator() ? QStringLiteral("--")
                                    : action->text() + (action->isEnabled() ? "" : " (off)"));
  delete menu;
  return items;
}

}  // namespace

class PasswordBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { clipboard()->clear(); }

  void onlyThePasswordIsCopiedAsSecret_data();
  void onlyThePasswordIsCopiedAsSecret();
  void copyIsTakenBackUnlessReplaced_data();
  void copyIsTakenBackUnlessReplaced();
  void menuOffersWhatQtsOwnOffers_data();
  void menuOffersWhatQtsOwnOffers();
};

void PasswordBoxTest::onlyThePasswordIsCopiedAsSecret_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("how");
  QTest::addColumn<QString>("left");  // the box's text afterwards
  QTest::addColumn<bool>("secret");

  const auto row = [](const char* box, const char* how, bool cuts) {
    QTest::addRow("%s %s", box, how)
        << QString::fromLatin1(box) << QString::fromLatin1(how)
        << QString::fromLatin1(cuts ? "my  x" : "my pa55 x") << (qstrcmp(box, "lblp") == 0);
  };
  for (const char* how : {"Ctrl+C", "Ctrl+Ins", "menu Copy"}) row("lblp", how, false);
  for (const char* how : {"Ctrl+X", "Shift+Del", "menu Cut"}) row("lblp", how, true);
  row("lblu", "Ctrl+C", false);
  row("lblu", "menu Cut", true);
  row("lblw", "Ctrl+X", true);
  row("lblw", "menu Copy", false);
}

void PasswordBoxTest::onlyThePasswordIsCopiedAsSecret() {
  QFETCH(QString, box);
  QFETCH(QString, how);
  QFETCH(QString, left);
  QFETCH(bool, secret);

  WindowFixture w;
  auto* edit = w.child<QLineEdit>(box.toLatin1().constData());
  edit->setText(QStringLiteral("my pa55 x"));
  edit->setSelection(3, 4);
  copyBy(edit, how);

  QCOMPARE(edit->text(), left);
  const QMimeData* data = clipboard()->mimeData();
  QVERIFY(data);
  QCOMPARE(data->text(), QStringLiteral("pa55"));
  QCOMPARE(data->hasFormat(kHint), secret);
  if (secret) QCOMPARE(data->data(kHint), QByteArrayLiteral("secret"));
}

void PasswordBoxTest::copyIsTakenBackUnlessReplaced_data() {
  QTest::addColumn<bool>("byTheTimer");  // otherwise when the box goes
  QTest::addColumn<bool>("replaced");    // the user copied something else meanwhile

  QTest::newRow("after the delay") << true << false;
  QTest::newRow("after the delay, replaced") << true << true;
  QTest::newRow("with the box") << false << false;
  QTest::newRow("with the box, replaced") << false << true;
}

void PasswordBoxTest::copyIsTakenBackUnlessReplaced() {
  QFETCH(bool, byTheTimer);
  QFETCH(bool, replaced);

  constexpr auto delay = 50ms;
  auto box =
      std::make_unique<PasswordBox>(QStringLiteral("pa55"), nullptr, byTheTimer ? delay : 1h);
  box->selectAll();
  box->copySecret();
  QCOMPARE(clipboard()->text(), QStringLiteral("pa55"));
  if (replaced) clipboard()->setText(QStringLiteral("other"));

  if (byTheTimer)
    QTest::qWait(int((4 * delay).count()));
  else
    box.reset();
  QTRY_COMPARE(clipboard()->text(), replaced ? QStringLiteral("other") : QString());
}

void PasswordBoxTest::menuOffersWhatQtsOwnOffers_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("selected");
  QTest::addColumn<bool>("readOnly");
  QTest::addColumn<bool>("pasteable");  // the clipboard holds a text

  QTest::newRow("empty") << QString() << false << false << false;
  QTest::newRow("text, paste") << QStringLiteral("pa55") << false << false << true;
  QTest::newRow("selection") << QStringLiteral("pa55") << true << false << false;
  QTest::newRow("read-only") << QStringLiteral("pa55") << true << true << true;
}

// The box builds its menu itself, so that its Cut and Copy cannot be Qt's;
// the menu must still offer what Qt's own would.
void PasswordBoxTest::menuOffersWhatQtsOwnOffers() {
  QFETCH(QString, text);
  QFETCH(bool, selected);
  QFETCH(bool, readOnly);
  QFETCH(bool, pasteable);

  if (pasteable) clipboard()->setText(QStringLiteral("x"));
  PasswordBox box(text);
  if (selected) box.setSelection(1, 2);
  box.setReadOnly(readOnly);
  QCOMPARE(itemsOf(box.createContextMenu()), itemsOf(box.createStandardContextMenu()));
}

QTEST_MAIN(PasswordBoxTest)

#include "PasswordBoxTest.moc"
