// SPDX-License-Identifier: MIT
// What a screen reader finds in the window beyond what the test over the real
// accessibility bus hears: the tool bar, descriptions and states, read
// in-process through Qt's accessibility interfaces as the bus reads them.
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"
#include "ui/ImageButton.h"

using namespace ombrel;
using namespace ombrel::testing;

namespace {

QAccessibleInterface* accessible(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget);
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void toolBarPicturesArePressableButtons_data();
  void toolBarPicturesArePressableButtons();
  void bannerIsDescribedAndSwatchesFollowThePalette();
};

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
  QAccessibleActionInterface* actions = button->actionInterface();
  QVERIFY(actions);
  QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});

  // The description is what the mouse shows over the picture.
  QTest::mouseMove(picture, picture->rect().center());
  QTRY_COMPARE(button->text(QAccessible::Description), w.hoverCaption());

  // Press reports the click that the command is bound to. The command is
  // cut off, so that the spy alone sees it whatever the command would do.
  QObject::disconnect(picture, &ImageButton::clicked, &w.form, nullptr);
  QSignalSpy clicked(picture, &ImageButton::clicked);
  actions->doAction(QAccessibleActionInterface::pressAction());
  QCOMPARE(clicked.count(), 1);
}

void AccessibilityTest::bannerIsDescribedAndSwatchesFollowThePalette() {
  WindowFixture w;
  QCOMPARE(accessible(w.child("Picture1"))->text(QAccessible::Description),
           QStringLiteral("keeps your web-site logins under cover"));

  QVERIFY(w.showAndActivate());
  w.form.om7_Click();
  // Named along the rows of pale tints, stronger tints and full colours.
  QCOMPARE(accessible(w.member("clr", 0))->text(QAccessible::Name), QStringLiteral("White"));
  QCOMPARE(accessible(w.member("clr", 9))->text(QAccessible::Name), QStringLiteral("Light Red"));
  // None is marked as the current colour when the chooser opens.
  for (int index = 0; index < 24; ++index) {
    const QAccessible::State state = accessible(w.member("clr", index))->state();
    QVERIFY(!state.checkable && !state.checked && !state.selected && !state.focused);
  }
}

QTEST_MAIN(AccessibilityTest)

#include "AccessibilityTest.moc"
