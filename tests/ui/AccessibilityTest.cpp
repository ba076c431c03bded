// SPDX-License-Identifier: MIT
// What a screen reader finds in the window: the names, roles, actions and
// states that Qt's accessibility interfaces offer the accessibility bus, read
// in-process as the bus would read them.
#include <QAccessible>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"
#include "ui/ImageButton.h"
#include "ui/PictureBox.h"

using namespace ombrel;
using namespace ombrel::testing;

namespace {

QAccessibleInterface* accessible(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget);
}

QStringList actionsOf(QAccessibleInterface* iface) {
  QAccessibleActionInterface* actions = iface->actionInterface();
  return actions ? actions->actionNames() : QStringList();
}

void press(QAccessibleInterface* iface) {
  iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void bannerIsANamedTabStop();
  void toolBarPicturesArePressableButtons_data();
  void toolBarPicturesArePressableButtons();
  void swatchesArePressableButtonsNamedForTheirColours();
};

void AccessibilityTest::bannerIsANamedTabStop() {
  WindowFixture w;
  QAccessibleInterface* banner = accessible(w.child("Picture1"));
  QCOMPARE(banner->role(), QAccessible::Graphic);
  QCOMPARE(banner->text(QAccessible::Name), QStringLiteral("Ombrel"));
  QCOMPARE(banner->text(QAccessible::Description),
           QStringLiteral("keeps your web-site logins under cover"));
  QVERIFY(banner->state().focusable);
}

void AccessibilityTest::toolBarPicturesArePressableButtons_data() {
  QTest::addColumn<QString>("image");
  QTest::addColumn<QString>("name");
  const char* const pictures[][2] = {
      {"Image4", "New"}, {"Image1", "Save"}, {"Image2", "Delete"}, {"Image3", "Open Site"}};
  for (const auto& [image, name] : pictures)
    QTest::newRow(image) << QString::fromLatin1(image) << QString::fromLatin1(name);
}

void AccessibilityTest::toolBarPicturesArePressableButtons() {
  QFETCH(QString, image);
  QFETCH(QString, name);
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  auto* picture = w.child<ImageButton>(qPrintable(image));
  QAccessibleInterface* button = accessible(picture);

  QCOMPARE(button->role(), QAccessible::Button);
  QCOMPARE(button->text(QAccessible::Name), name);
  // Out of the Tab order, and so offered no focus by the bus either.
  QVERIFY(!button->state().focusable);
  QCOMPARE(actionsOf(button), QStringList{QAccessibleActionInterface::pressAction()});

  // The description is what the mouse shows over the picture.
  QTest::mouseMove(picture, picture->rect().center());
  QTRY_COMPARE(button->text(QAccessible::Description), w.hoverCaption());

  // Press reports the click that the command is bound to. The command is
  // cut off, so that the spy alone sees it whatever the command would do.
  QObject::disconnect(picture, &ImageButton::clicked, &w.form, nullptr);
  QSignalSpy clicked(picture, &ImageButton::clicked);
  press(button);
  QCOMPARE(clicked.count(), 1);
}

void AccessibilityTest::swatchesArePressableButtonsNamedForTheirColours() {
  WindowFixture w;
  QVERIFY(w.showAndActivate());
  w.form.om7_Click();

  QSet<QString> names;
  for (int index = 0; index < 24; ++index) {
    QAccessibleInterface* swatch = accessible(w.member("clr", index));
    const QString name = swatch->text(QAccessible::Name);
    QVERIFY2(!name.isEmpty(), qPrintable(QStringLiteral("clr(%1) has no name").arg(index)));
    names << name;
    QCOMPARE(swatch->role(), QAccessible::Button);
    QVERIFY(actionsOf(swatch).contains(QAccessibleActionInterface::pressAction()));
    // A Tab stop, but none is marked as the current colour when the chooser
    // opens: not checked, not selected, not focused.
    const QAccessible::State state = swatch->state();
    QVERIFY(state.focusable);
    QVERIFY(!state.checkable && !state.checked && !state.selected && !state.focused);
  }
  QCOMPARE(names.size(), 24);
  // The names follow the palette: the row of pale tints, of stronger tints,
  // of full colours.
  QCOMPARE(accessible(w.member("clr", 0))->text(QAccessible::Name), QStringLiteral("White"));
  QCOMPARE(accessible(w.member("clr", 9))->text(QAccessible::Name), QStringLiteral("Light Red"));
  QCOMPARE(accessible(w.member("clr", 17))->text(QAccessible::Name), QStringLiteral("Red"));

  // Press picks the colour, as a click does.
  press(accessible(w.member("clr", 22)));
  QCOMPARE(w.backgroundColour(), QColor(0, 0, 255));
}

QTEST_MAIN(AccessibilityTest)

#include "AccessibilityTest.moc"
