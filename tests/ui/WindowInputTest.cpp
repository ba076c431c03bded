// SPDX-License-Identifier: MIT
// What the user does to the window: the focus and the Tab key, the
// window-wide shortcuts, the pointer over the tool bar, the window's colour
// and closing the window.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <limits>

#include "WindowFixture.h"
#include "ui/ImageButton.h"
#include "ui/PictureBox.h"
#include "ui/TextContrast.h"
#include "ui/ToolBarFrame.h"

using namespace ombrel;
using namespace ombrel::testing;

namespace {

QString focusName() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return QStringLiteral("(none)");
  const QVariant index = focus->property("index");
  return index.isValid() ? QStringLiteral("%1(%2)").arg(focus->objectName()).arg(index.toInt())
                         : focus->objectName();
}

// An action cut off from its handler, so that a test sees only whether the
// key reached it, whatever the command itself would do.
QAction* detachedAction(WindowFixture& w, const char* name) {
  auto* action = w.child<QAction>(name);
  QObject::disconnect(action, &QAction::triggered, &w.form, nullptr);
  return action;
}

// A desktop theme for the time of one test.
class AppliedTheme {
 public:
  explicit AppliedTheme(const QPalette& theme) : saved_(QApplication::palette()) {
    QApplication::setPalette(theme);
  }
  ~AppliedTheme() { QApplication::setPalette(saved_); }

 private:
  QPalette saved_;
};

// The roles that matter here of a dark scheme as desktop tools ship it:
// white text on dark windows and dark boxes.
QPalette darkTheme() {
  QPalette dark = QApplication::style()->standardPalette();
  dark.setColor(QPalette::Window, QColor(0x22, 0x20, 0x20));
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
  dark.setColor(QPalette::Text, Qt::white);
  return dark;
}

// The strongest contrast any pixel of `area` has against `background`: the
// text drawn there, if any.
double strongestContrast(const QImage& image, const QRect& area, const QColor& background) {
  double strongest = 1;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      strongest = std::max(strongest, contrastRatio(image.pixelColor(x, y), background));
    }
  }
  return strongest;
}

QColor pixelAt(const QImage& image, const QWidget* widget, QPoint inWidget, const QWidget* client) {
  return image.pixelColor(widget->mapTo(client, inWidget));
}

}  // namespace

class WindowInputTest : public QObject {
  Q_OBJECT

 private slots:
  void listHasTheFocusWhenTheWindowOpens();
  void tabVisitsTheControlsInDesignOrder_data();
  void tabVisitsTheControlsInDesignOrder();
  void deleteKeyRunsDeleteInsteadOfEditing_data();
  void deleteKeyRunsDeleteInsteadOfEditing();
  void shortcutsRunTheirMenuItems_data();
  void shortcutsRunTheirMenuItems();
  void pointerOverToolBarReportsImageOrSurface();
  void clickOnImageOrSwatchIsReported();
  void backgroundColourPaintsTheWindowGroundOnly();
  void numbersThatAreNoColourChangeNothing();
  void textStaysReadableOnEverySwatch_data();
  void textStaysReadableOnEverySwatch();
  void swatchKeysPickTheMarkedSwatch();
  void accessKeysOpenTheMenus_data();
  void accessKeysOpenTheMenus();
  void closingTheWindowEndsTheProgram();
};

void WindowInputTest::listHasTheFocusWhenTheWindowOpens() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  QTRY_COMPARE(focusName(), QStringLiteral("List1"));
}

void WindowInputTest::tabVisitsTheControlsInDesignOrder_data() {
  QTest::addColumn<bool>("chooserShown");
  QTest::addColumn<QStringList>("order");

  const QStringList boxes{"List1", "Text1", "lblw", "lblu", "lblp"};
  QStringList chooser;
  for (int index = 0; index < 24; ++index) chooser << QStringLiteral("clr(%1)").arg(index);
  chooser << QStringLiteral("Command11");

  QTest::newRow("chooser hidden") << false << (boxes + QStringList{"Picture1", "List1"});
  QTest::newRow("chooser shown") << true << (boxes + chooser + QStringList{"Picture1", "List1"});
}

void WindowInputTest::tabVisitsTheControlsInDesignOrder() {
  QFETCH(bool, chooserShown);
  QFETCH(QStringList, order);

  WindowFixture w;
  if (chooserShown) w.child("Frame4")->show();
  QVERIFY(w.showAndActivate());
  QTRY_COMPARE(focusName(), QStringLiteral("List1"));

  QStringList visited{focusName()};
  for (qsizetype step = 1; step < order.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << focusName();
  }
  QCOMPARE(visited, order);
}

void WindowInputTest::deleteKeyRunsDeleteInsteadOfEditing_data() {
  QTest::addColumn<QString>("box");
  for (const char* box : {"lblw", "lblu", "lblp", "Text1"}) QTest::newRow(box) << box;
}

void WindowInputTest::deleteKeyRunsDeleteInsteadOfEditing() {
  QFETCH(QString, box);

  WindowFixture w;
  QAction* remove = detachedAction(w, "f3");
  QSignalSpy triggered(remove, &QAction::triggered);
  QVERIFY(w.showAndActivate());

  QWidget* editor = w.child(box.toLatin1().constData());
  const QString text = QStringLiteral("example.org");
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setText(text);
    line->setCursorPosition(3);
  } else {
    auto* notes = qobject_cast<QPlainTextEdit*>(editor);
    notes->setPlainText(text);
    QTextCursor cursor = notes->textCursor();
    cursor.setPosition(3);
    notes->setTextCursor(cursor);
  }
  editor->setFocus();
  QTRY_COMPARE(focusName(), box);

  QTest::keyClick(editor, Qt::Key_Delete);
  QCOMPARE(triggered.count(), 1);
  const Box which = box == "lblw"   ? Box::Web
                    : box == "lblu" ? Box::User
                    : box == "lblp" ? Box::Password
                                    : Box::Notes;
  QCOMPARE(w.form.boxText(which), text);

  // Other editing keys still edit.
  QTest::keyClick(editor, Qt::Key_Backspace);
  QCOMPARE(w.form.boxText(which), QStringLiteral("exmple.org"));
  QCOMPARE(triggered.count(), 1);
}

void WindowInputTest::shortcutsRunTheirMenuItems_data() {
  QTest::addColumn<QString>("focus");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("action");

  const int ctrl = Qt::ControlModifier;
  const int none = Qt::NoModifier;
  QTest::newRow("Ctrl+N in the list") << "List1" << int(Qt::Key_N) << ctrl << "f1";
  QTest::newRow("Ctrl+S in the list") << "List1" << int(Qt::Key_S) << ctrl << "f2";
  QTest::newRow("Del in the list") << "List1" << int(Qt::Key_Delete) << none << "f3";
  QTest::newRow("F1 in the list") << "List1" << int(Qt::Key_F1) << none << "h1";
  QTest::newRow("Ctrl+N in a box") << "lblu" << int(Qt::Key_N) << ctrl << "f1";
  QTest::newRow("Ctrl+S in the notes") << "Text1" << int(Qt::Key_S) << ctrl << "f2";
  QTest::newRow("F1 in the notes") << "Text1" << int(Qt::Key_F1) << none << "h1";
  QTest::newRow("F1 on the banner") << "Picture1" << int(Qt::Key_F1) << none << "h1";
  QTest::newRow("Ctrl+O in a box") << "lblw" << int(Qt::Key_O) << ctrl << "openSiteKey";
}

void WindowInputTest::shortcutsRunTheirMenuItems() {
  QFETCH(QString, focus);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(QString, action);

  WindowFixture w;
  QSignalSpy triggered(detachedAction(w, action.toLatin1().constData()), &QAction::triggered);
  QVERIFY(w.showAndActivate());
  QWidget* target = w.child(focus.toLatin1().constData());
  target->setFocus();
  QTRY_COMPARE(focusName(), focus);

  QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  QCOMPARE(triggered.count(), 1);
}

void WindowInputTest::pointerOverToolBarReportsImageOrSurface() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  auto* frame = w.child<ToolBarFrame>("Frame3");
  auto* newImage = w.child<ImageButton>("Image4");
  auto* saveImage = w.child<ImageButton>("Image1");
  QSignalSpy overFrame(frame, &ToolBarFrame::mouseMoved);
  QSignalSpy overNew(newImage, &ImageButton::mouseMoved);
  QSignalSpy overSave(saveImage, &ImageButton::mouseMoved);

  // From New down across the gap to Save, as the pointer would go.
  QTest::mouseMove(newImage, newImage->rect().center());
  QTRY_COMPARE(overNew.count(), 1);
  QTest::mouseMove(frame, QPoint(newImage->geometry().center().x(),
                                 (newImage->geometry().bottom() + saveImage->y()) / 2));
  QTRY_COMPARE(overFrame.count(), 1);
  QTest::mouseMove(saveImage, saveImage->rect().center());
  QTRY_COMPARE(overSave.count(), 1);
  // Every movement counts again, and none over an image reaches the frame.
  QTest::mouseMove(saveImage, saveImage->rect().center() + QPoint(2, 2));
  QTRY_COMPARE(overSave.count(), 2);
  QCOMPARE(overFrame.count(), 1);
  QCOMPARE(overNew.count(), 1);

  // Elsewhere in the window, nothing of the tool bar reports.
  QTest::mouseMove(w.child("List1"), QPoint(20, 20));
  QTest::mouseMove(w.child("Picture1"), QPoint(20, 20));
  QCOMPARE(overFrame.count() + overNew.count() + overSave.count(), 4);
}

void WindowInputTest::clickOnImageOrSwatchIsReported() {
  WindowFixture w;
  w.child("Frame4")->show();
  QVERIFY(w.showAndActivate());
  auto* image = w.child<ImageButton>("Image2");
  auto* swatch = w.member<PictureBox>("clr", 17);
  QSignalSpy imageClicked(image, &ImageButton::clicked);
  QSignalSpy swatchClicked(swatch, &PictureBox::clicked);
  w.dialogs.answerMessage(kNo);  // the Delete image asks before it deletes

  QTest::mouseClick(image, Qt::LeftButton, {}, image->rect().center());
  QTest::mouseClick(swatch, Qt::LeftButton, {}, swatch->rect().center());
  QCOMPARE(imageClicked.count(), 1);
  QCOMPARE(swatchClicked.count(), 1);

  // A press that ends outside the picture is no click; nor is the right button.
  QTest::mousePress(image, Qt::LeftButton, {}, image->rect().center());
  QTest::mouseRelease(image, Qt::LeftButton, {}, image->rect().bottomRight() + QPoint(30, 30));
  QTest::mouseClick(image, Qt::RightButton, {}, image->rect().center());
  QCOMPARE(imageClicked.count(), 1);
}

void WindowInputTest::backgroundColourPaintsTheWindowGroundOnly() {
  WindowFixture w;
  w.child("Frame4")->show();
  QVERIFY(w.showAndActivate());
  QWidget* client = w.form.centralWidget();
  const QColor panel = w.child("Frame4")->palette().color(QPalette::Window);

  w.form.setBackgroundColour(255);  // pure red
  QCOMPARE(w.backgroundColour(), QColor(255, 0, 0));
  w.form.setBackgroundColour(256 * 255 + 65536 * 128);  // green 255, blue 128
  QCOMPARE(w.backgroundColour(), QColor(0, 255, 128));

  const QImage shot = client->grab().toImage();
  const QColor window(0, 255, 128);
  QCOMPARE(shot.pixelColor(2, 2), window);
  // Behind the labels: past the end of "Notes", and behind a hover caption.
  QWidget* notes = w.member("Label2", 3);
  QCOMPARE(pixelAt(shot, notes, QPoint(notes->width() - 3, notes->height() / 2), client), window);
  auto* caption = w.child<QLabel>("Label3");
  const QPoint pastCaptionText(caption->width() - 3, caption->height() / 2);
  caption->setText(QStringLiteral("New"));
  QCOMPARE(pixelAt(client->grab().toImage(), caption, pastCaptionText, client), window);
  // An empty caption leaves the banner behind it unmarked.
  caption->clear();
  QCOMPARE(pixelAt(client->grab().toImage(), caption, pastCaptionText, client), QColor(Qt::white));
  // The tool bar and the banner keep their white, the chooser its own colour.
  QWidget* toolBar = w.child("Frame3");
  QCOMPARE(pixelAt(shot, toolBar, QPoint(toolBar->width() / 2, px(1900)), client),
           QColor(Qt::white));
  QWidget* banner = w.child("Picture1");
  QCOMPARE(pixelAt(shot, banner, QPoint(banner->width() - 3, banner->height() - 2), client),
           QColor(Qt::white));
  QWidget* chooser = w.child("Frame4");
  QCOMPARE(pixelAt(shot, chooser, QPoint(px(120), px(2400)), client), panel);
  // The swatches keep their own colours.
  QCOMPARE(w.member<PictureBox>("clr", 0)->colour(), QColor(Qt::white));
}

void WindowInputTest::numbersThatAreNoColourChangeNothing() {
  WindowFixture w;
  const QColor window(0, 255, 128);
  w.form.setBackgroundColour(256 * 255 + 65536 * 128);
  for (std::int32_t notAColour : {-1, 0x1000000, std::numeric_limits<std::int32_t>::min()}) {
    w.form.setBackgroundColour(notAColour);
    QCOMPARE(w.backgroundColour(), window);
  }
  w.form.setBackgroundColour(0);
  QCOMPARE(w.backgroundColour(), QColor(Qt::black));
}

void WindowInputTest::textStaysReadableOnEverySwatch_data() {
  QTest::addColumn<bool>("dark");
  QTest::addColumn<int>("swatch");
  QTest::addColumn<QColor>("text");  // of the labels on that window colour

  for (const bool dark : {false, true}) {
    for (int swatch = 0; swatch < 24; ++swatch) {
      // Black reads on every swatch but full blue (contrast 2.4:1 there).
      const QColor text = swatch == 22 ? Qt::white : Qt::black;
      QTest::addRow("%s theme, clr(%d)", dark ? "dark" : "light", swatch) << dark << swatch << text;
    }
  }
}

void WindowInputTest::textStaysReadableOnEverySwatch() {
  QFETCH(bool, dark);
  QFETCH(int, swatch);
  QFETCH(QColor, text);

  const QPalette theme = dark ? darkTheme() : QApplication::style()->standardPalette();
  AppliedTheme applied(theme);
  WindowFixture w;
  w.child<QLabel>("Label3")->setText(QStringLiteral("Open Site"));
  QVERIFY(w.showAndActivate());
  w.form.clr_Click(swatch);

  const QColor window = w.member<PictureBox>("clr", swatch)->colour();
  QWidget* client = w.form.centralWidget();
  const QImage shot = client->grab().toImage();
  QList<QWidget*> labels{w.child("Label3")};
  for (int index = 0; index <= 4; ++index) labels << w.member("Label2", index);
  for (QWidget* label : labels) {
    QCOMPARE(label->palette().color(QPalette::WindowText), text);
    // Drawn, not only set.
    QVERIFY2(strongestContrast(shot, label->geometry(), window) >= 4.5,
             qPrintable(label->property("index").toString()));
  }

  // The chooser keeps the theme's panel, and its heading the theme's text.
  QWidget* heading = w.member("Label2", 5);
  QCOMPARE(heading->palette().color(QPalette::Window), theme.color(QPalette::Window));
  QCOMPARE(heading->palette().color(QPalette::WindowText), theme.color(QPalette::WindowText));

  // The boxes and the list keep the theme's own text on the theme's own base.
  for (const char* name : {"lblw", "Text1", "List1"}) {
    const QPalette box = w.child(name)->palette();
    QCOMPARE(box.color(QPalette::Base), theme.color(QPalette::Base));
    QCOMPARE(box.color(QPalette::Text), theme.color(QPalette::Text));
  }
}

void WindowInputTest::swatchKeysPickTheMarkedSwatch() {
  WindowFixture w;
  w.child("Frame4")->show();
  QVERIFY(w.showAndActivate());
  auto* blue = w.member<PictureBox>("clr", 22);
  auto* red = w.member<PictureBox>("clr", 17);
  const QPoint onTheMark(4, blue->height() / 2);

  // No mark until the swatch has the focus; then one that shows on its colour.
  QCOMPARE(blue->grab().toImage().pixelColor(onTheMark), QColor(0, 0, 255));
  blue->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(focusName(), QStringLiteral("clr(22)"));
  QCOMPARE(blue->grab().toImage().pixelColor(onTheMark), QColor(Qt::white));
  red->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(focusName(), QStringLiteral("clr(17)"));
  QCOMPARE(red->grab().toImage().pixelColor(onTheMark), QColor(Qt::black));
  QCOMPARE(blue->grab().toImage().pixelColor(onTheMark), QColor(0, 0, 255));

  // Each key picks the marked swatch once, as a click does; other keys do not.
  QSignalSpy picked(red, &PictureBox::clicked);
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(red, key);
  QCOMPARE(picked.count(), 3);
  QCOMPARE(w.backgroundColour(), QColor(255, 0, 0));
  QTest::keyClick(red, Qt::Key_A);
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QApplication::sendEvent(red, &held);
  QCOMPARE(picked.count(), 3);
}

void WindowInputTest::accessKeysOpenTheMenus_data() {
  QTest::addColumn<int>("menuKey");
  QTest::addColumn<QString>("menu");
  QTest::addColumn<int>("itemKey");
  QTest::addColumn<QString>("item");

  QTest::newRow("Alt+F, X") << int(Qt::Key_F) << "f0" << int(Qt::Key_X) << "om4";
  QTest::newRow("Alt+O, C") << int(Qt::Key_O) << "om" << int(Qt::Key_C) << "om7";
}

void WindowInputTest::accessKeysOpenTheMenus() {
  QFETCH(int, menuKey);
  QFETCH(QString, menu);
  QFETCH(int, itemKey);
  QFETCH(QString, item);

  WindowFixture w;
  QSignalSpy triggered(detachedAction(w, item.toLatin1().constData()), &QAction::triggered);
  QVERIFY(w.showAndActivate());
  QTRY_COMPARE(focusName(), QStringLiteral("List1"));
  auto* popup = w.child<QMenu>(menu.toLatin1().constData());

  QTest::keyClick(w.child("List1"), Qt::Key(menuKey), Qt::AltModifier);
  QTRY_VERIFY(popup->isVisible());
  QTest::keyClick(popup, Qt::Key(itemKey));
  QTRY_VERIFY(!popup->isVisible());
  QCOMPARE(triggered.count(), 1);
}

void WindowInputTest::closingTheWindowEndsTheProgram() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  w.form.setBoxText(Box::Web, QStringLiteral("typed but not saved"));
  QVERIFY(w.form.close());
  QCOMPARE(w.ended, 1);
  QVERIFY(w.dialogs.messages.empty());  // no question asked
}

QTEST_MAIN(WindowInputTest)

#include "WindowInputTest.moc"
