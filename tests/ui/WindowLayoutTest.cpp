// SPDX-License-Identifier: MIT
// The window as designed: every control's kind, container, caption, place
// and font, what is hidden, what lies in front, and the menus.
#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"
#include "ui/ImageButton.h"
#include "ui/PictureBox.h"
#include "ui/SortedListBox.h"
#include "ui/ToolBarFrame.h"

using namespace ombrel;
using namespace ombrel::testing;

namespace {

QString captionOf(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QPushButton*>(widget)) return button->text();
  if (auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
  if (auto* text = qobject_cast<const QPlainTextEdit*>(widget)) return text->toPlainText();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  return QString();
}

// The container as the layout names it: the client area is "Form1".
QString containerOf(const QWidget* widget) {
  const QString name = widget->parentWidget()->objectName();
  return name == QLatin1String("client") ? QStringLiteral("Form1") : name;
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void windowHasItsTitle();
  void clientAreaHasAFixedSize();
  void windowHasItsIcon();
  void controlsFollowTheDesign_data();
  void controlsFollowTheDesign();
  void swatchesLieInThreeRowsWithThePalette();
  void onlyTheDesignedControlsShow();
  void captionLiesInFront();
  void chooserLiesInFront();
  void menusHoldTheirItemsInOrder();
  void textBoxesStartWithTheirDesignTexts();
  void passwordIsShownInClear();
};

void WindowLayoutTest::windowHasItsTitle() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QCOMPARE(w.form.windowTitle(), QStringLiteral("Tavik's Ombrel Version 1.0"));
}

void WindowLayoutTest::clientAreaHasAFixedSize() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QCOMPARE(w.form.centralWidget()->size(), QSize(px(12135), px(7335)));
  QCOMPARE(w.form.minimumSize(), w.form.maximumSize());
}

void WindowLayoutTest::windowHasItsIcon() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QVERIFY(!w.form.windowIcon().isNull());
  const QList<QSize> iconSizes = w.form.windowIcon().availableSizes();
  QString listed;
  for (const QSize& size : iconSizes)
    listed += QStringLiteral(" %1x%2").arg(size.width()).arg(size.height());
  QVERIFY2(iconSizes.contains(QSize(32, 32)), qPrintable("sizes:" + listed));
  QVERIFY2(iconSizes.contains(QSize(16, 16)), qPrintable("sizes:" + listed));
}

void WindowLayoutTest::controlsFollowTheDesign_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("index");  // -1 outside a control array
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("container");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QRect>("twips");   // left, top, width, height
  QTest::addColumn<QString>("font");  // "serif" TNR 12 B, "sans" 12 B, "ui" 8, "" none

  auto row = [](const char* name, int index, const char* kind, const char* container,
                const char* caption, QRect twips, const char* font) {
    const QString tag = index < 0 ? QString::fromLatin1(name)
                                  : QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
    QTest::newRow(qPrintable(tag))
        << QString::fromLatin1(name) << index << QString::fromLatin1(kind)
        << QString::fromLatin1(container) << QString::fromLatin1(caption) << twips
        << QString::fromLatin1(font);
  };
  row("Picture1", -1, "QLabel", "Form1", "", {360, 120, 11415, 1215}, "");
  row("Frame4", -1, "QFrame", "Form1", "", {4080, 2280, 4575, 2775}, "");
  row("Command11", -1, "QPushButton", "Frame4", "OK", {1800, 2160, 1215, 375}, "ui");
  row("Label2", 5, "QLabel", "Frame4", "Choose Background Color", {240, 240, 3615, 375}, "serif");
  row("Frame3", -1, "ombrel::ToolBarFrame", "Form1", "", {240, 1800, 735, 2895}, "");
  row("Image3", -1, "ombrel::ImageButton", "Frame3", "", {120, 2160, 495, 495}, "");
  row("Image2", -1, "ombrel::ImageButton", "Frame3", "", {120, 1320, 495, 495}, "");
  row("Image1", -1, "ombrel::ImageButton", "Frame3", "", {120, 720, 495, 495}, "");
  row("Image4", -1, "ombrel::ImageButton", "Frame3", "", {120, 120, 495, 495}, "");
  row("Frame1", -1, "QGroupBox", "Form1", "Frame1", {-6240, 4560, 7455, 6855}, "");
  row("Dir1", -1, "QWidget", "Frame1", "", {0, 0, 1335, 990}, "");
  row("Frame2", -1, "QFrame", "Frame1", "", {-2760, 4920, 9135, 855}, "");
  row("Command9", -1, "QPushButton", "Frame2", "New", {120, 240, 1575, 495}, "serif");
  row("Command7", -1, "QPushButton", "Frame2", "Save", {1920, 240, 1575, 495}, "serif");
  row("Command8", -1, "QPushButton", "Frame2", "Delete", {3720, 240, 1575, 495}, "serif");
  row("Command2", -1, "QPushButton", "Frame2", "Open Site", {5520, 240, 1575, 495}, "serif");
  row("Command10", -1, "QPushButton", "Frame2", "Exit", {7320, 240, 1575, 495}, "serif");
  row("Command4", -1, "QPushButton", "Frame1", "Delete", {-120, 3240, 1815, 495}, "serif");
  row("Command3", -1, "QPushButton", "Frame1", "Save", {0, 2400, 1815, 495}, "serif");
  row("Command1", -1, "QPushButton", "Frame1", "New", {0, 1560, 1815, 495}, "serif");
  row("Command6", -1, "QPushButton", "Frame1", "Load", {120, 840, 1095, 495}, "ui");
  row("Command5", -1, "QPushButton", "Frame1", "code password.dat", {120, 120, 1095, 495}, "ui");
  row("lblp", -1, "QLineEdit", "Form1", "Text2", {7560, 2520, 4215, 375}, "sans");
  row("lblu", -1, "QLineEdit", "Form1", "Text2", {7560, 2040, 4215, 375}, "sans");
  row("lblw", -1, "QLineEdit", "Form1", "Text2", {7560, 1560, 4215, 375}, "sans");
  row("Text1", -1, "QPlainTextEdit", "Form1", "Text1", {6720, 3480, 5055, 3495}, "serif");
  row("List1", -1, "ombrel::SortedListBox", "Form1", "", {1200, 1800, 4575, 5190}, "serif");
  row("Label3", -1, "QLabel", "Form1", "", {960, 840, 1215, 255}, "ui");
  row("Label2", 4, "QLabel", "Form1", "Web Site", {6120, 1560, 1215, 255}, "serif");
  row("Label2", 1, "QLabel", "Form1", "User Name", {6120, 2040, 1335, 255}, "serif");
  row("Label2", 3, "QLabel", "Form1", "Notes", {6120, 3120, 4335, 255}, "serif");
  row("Label2", 2, "QLabel", "Form1", "Password", {6120, 2520, 1335, 255}, "serif");
  row("Label2", 0, "QLabel", "Form1", "Web Address", {1200, 1440, 3615, 255}, "serif");
}

void WindowLayoutTest::controlsFollowTheDesign() {
  QFETCH(QString, name);
  QFETCH(int, index);
  QFETCH(QString, kind);
  QFETCH(QString, container);
  QFETCH(QString, caption);
  QFETCH(QRect, twips);
  QFETCH(QString, font);

  WindowFixture w;
  const QByteArray latin = name.toLatin1();
  QWidget* widget = index < 0 ? w.child(latin.constData()) : w.member(latin.constData(), index);
  QVERIFY(widget);
  QVERIFY2(widget->inherits(kind.toLatin1().constData()), widget->metaObject()->className());
  QCOMPARE(containerOf(widget), container);
  QCOMPARE(captionOf(widget), caption);
  QCOMPARE(widget->geometry(),
           QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));

  if (font.isEmpty()) return;
  const QFont actual = widget->font();
  if (font == QLatin1String("serif")) {
    QCOMPARE(actual.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(actual.pointSize(), 12);
    QVERIFY(actual.bold());
  } else if (font == QLatin1String("sans")) {
    QCOMPARE(actual.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(actual.pointSize(), 12);
    QVERIFY(actual.bold());
  } else {
    QCOMPARE(actual.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(actual.pointSize(), 8);
    QVERIFY(!actual.bold());
  }
}

void WindowLayoutTest::swatchesLieInThreeRowsWithThePalette() {
  // The saved value of each swatch, red + 256 * green + 65536 * blue.
  const int values[24] = {16777215, 12632319, 12640511, 12648447, 12648384, 16777152,
                          16761024, 16761087, 14737632, 8421631,  8438015,  8454143,
                          8454016,  16777088, 16744576, 16744703, 12632256, 255,
                          33023,    65535,    65280,    16776960, 16711680, 16711935};
  WindowFixture w;
  QCOMPARE(w.form.findChildren<PictureBox*>(QStringLiteral("clr")).size(), 24);
  for (int index = 0; index < 24; ++index) {
    auto* swatch = w.member<PictureBox>("clr", index);
    QVERIFY(swatch);
    QCOMPARE(swatch->parentWidget()->objectName(), QStringLiteral("Frame4"));
    const int row = index / 8;
    const int column = index % 8;
    QCOMPARE(swatch->geometry(),
             QRect(px(360 + 480 * column), px(600 + 480 * row), px(375), px(375)));
    const QColor colour = swatch->colour();
    QCOMPARE(colour.red() + 256 * colour.green() + 65536 * colour.blue(), values[index]);
  }
}

void WindowLayoutTest::onlyTheDesignedControlsShow() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  for (const char* name : {"Picture1", "Label3", "lblw", "lblu", "lblp", "Text1", "List1", "Frame3",
                           "Image4", "Image1", "Image2", "Image3"}) {
    QVERIFY2(w.child(name)->isVisible(), name);
  }
  for (int index = 0; index <= 4; ++index) QVERIFY(w.member("Label2", index)->isVisible());

  QVERIFY(w.child("Frame4")->isHidden());
  QVERIFY(!w.colourChooserShown());
  QVERIFY(w.child("Frame1")->isHidden());
  // Nothing on the hidden panel can be seen, and nothing on it takes the focus.
  for (QWidget* inside : w.child("Frame1")->findChildren<QWidget*>()) {
    QVERIFY2(!inside->isVisible(), qPrintable(inside->objectName()));
  }
}

void WindowLayoutTest::captionLiesInFront() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QWidget* caption = w.child("Label3");
  QCOMPARE(w.form.centralWidget()->childAt(caption->geometry().center()), caption);
}

void WindowLayoutTest::chooserLiesInFront() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QWidget* client = w.form.centralWidget();

  w.child("Frame4")->show();
  QVERIFY(w.colourChooserShown());
  for (const char* covered : {"List1", "Text1", "lblp"}) {
    const QRect overlap = w.child(covered)->geometry() & w.child("Frame4")->geometry();
    QVERIFY2(!overlap.isEmpty(), covered);
  }
  for (int index : {0, 7, 16, 23}) {
    QWidget* swatch = w.member("clr", index);
    const QPoint centre = swatch->mapTo(client, swatch->rect().center());
    QCOMPARE(client->childAt(centre), swatch);
  }
  QWidget* ok = w.child("Command11");
  QCOMPARE(client->childAt(ok->mapTo(client, ok->rect().center())), ok);
}

void WindowLayoutTest::menusHoldTheirItemsInOrder() {
  struct Item {
    const char* name;
    const char* caption;  // as shown and read out; nullptr for a separator
    char accessKey;       // the underlined letter
    QKeySequence shortcut;
  };
  const QList<Item> file = {
      {"f1", "New", 'N', QKeySequence(Qt::CTRL | Qt::Key_N)},
      {"f2", "Save", 'S', QKeySequence(Qt::CTRL | Qt::Key_S)},
      {"f3", "Delete", 'D', QKeySequence(Qt::Key_Delete)},
      {"om3", nullptr, 0, {}},
      {"om4", "Exit", 'X', {}},
  };
  const QList<Item> ombrelMenu = {
      {"om1", "Change Password", 'P', {}},
      {"om7", "Change Color", 'C', {}},
      {"om2", "About", 'A', {}},
      {"om5", "Web Site", 'W', {}},
      {"om6", nullptr, 0, {}},
      {"h1", "Help", 'H', QKeySequence(Qt::Key_F1)},
  };
  auto accessKey = [](char letter) { return QKeySequence(Qt::ALT | Qt::Key(letter)); };
  // What a screen reader reads: the caption without its access-key mark.
  auto readOut = [](QObject* object, int child) {
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(object)->child(child);
    return item ? item->text(QAccessible::Name) : QStringLiteral("(no item)");
  };

  WindowFixture w;
  const QList<QAction*> top = w.form.menuBar()->actions();
  QCOMPARE(top.size(), 2);
  const struct {
    const char* name;
    const char* caption;
    char accessKey;
    const QList<Item>& items;
  } menus[] = {{"f0", "File", 'F', file}, {"om", "Ombrel", 'O', ombrelMenu}};

  for (int m = 0; m < 2; ++m) {
    QMenu* menu = top[m]->menu();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QString::fromLatin1(menus[m].name));
    QCOMPARE(readOut(w.form.menuBar(), m), QString::fromLatin1(menus[m].caption));
    QCOMPARE(QKeySequence::mnemonic(menu->title()), accessKey(menus[m].accessKey));
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), menus[m].items.size());
    for (int i = 0; i < actions.size(); ++i) {
      const Item& expected = menus[m].items[i];
      QAction* action = actions[i];
      QCOMPARE(action->objectName(), QString::fromLatin1(expected.name));
      QCOMPARE(action->isSeparator(), expected.caption == nullptr);
      if (expected.caption) {
        QCOMPARE(readOut(menu, i), QString::fromLatin1(expected.caption));
        QCOMPARE(QKeySequence::mnemonic(action->text()), accessKey(expected.accessKey));
      }
      QCOMPARE(action->shortcut(), expected.shortcut);
      QVERIFY(!action->menu());  // Help is an item of "Ombrel", not a menu of its own
    }
  }
}

void WindowLayoutTest::textBoxesStartWithTheirDesignTexts() {
  WindowFixture w;
  QCOMPARE(w.form.boxText(Box::Web), QStringLiteral("Text2"));
  QCOMPARE(w.form.boxText(Box::User), QStringLiteral("Text2"));
  QCOMPARE(w.form.boxText(Box::Password), QStringLiteral("Text2"));
  QCOMPARE(w.form.boxText(Box::Notes), QStringLiteral("Text1"));
  QCOMPARE(w.hoverCaption(), QString());
}

void WindowLayoutTest::passwordIsShownInClear() {
  WindowFixture w;
  QCOMPARE(w.child<QLineEdit>("lblp")->echoMode(), QLineEdit::Normal);
}

QTEST_MAIN(WindowLayoutTest)

#include "WindowLayoutTest.moc"
