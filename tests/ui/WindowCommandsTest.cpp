// SPDX-License-Identifier: MIT
// The commands as a user reaches them in the real window: the list, the
// shortcuts, the tool-bar images and the menus, with scripted dialogs and the
// data files checked byte for byte.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

#include "WindowFixture.h"
#include "support/TestEncoding.h"
#include "ui/DataFolderWatcher.h"
#include "ui/ImageButton.h"
#include "ui/PictureBox.h"
#include "ui/SortedListBox.h"
#include "ui/ToolBarFrame.h"

using namespace ombrel;
using namespace ombrel::testing;

namespace {

// A window started on a data directory with two entries and no password.
struct StartedWindow : WindowFixture {
  StartedWindow() {
    dir.write("pw.dat", "efgh\r\n");
    dir.write("pwclr.dat", " 12648447 \r\n");
    dir.write("passwords.dat", line("zeta.org", "zed", "z-pass", "") +
                                   line("alpha.com", "ann", "a-pass", "first\r\nsecond"));
  }

  bool start() { return form.formLoad() && showAndActivate(); }

  SortedListBox* list() const { return child<SortedListBox>("List1"); }
  QLineEdit* box(const char* name) const { return child<QLineEdit>(name); }
  QPlainTextEdit* notes() const { return child<QPlainTextEdit>("Text1"); }

  // Picks a name with the mouse, as the user does.
  void clickName(int row) {
    SortedListBox* names = list();
    const QRect item = names->nameRect(row);
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, item.center());
  }
};

}  // namespace

class WindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpListsTheNamesInTheSavedColour();
  void clickingANameShowsItsEntry();
  void ctrlNAddsAnEntry();
  void ctrlSSavesTheShownEntry();
  void deleteKeyDeletesTheShownEntry();
  void imagesNeedANameToSaveOrDelete();
  void pickedLongValuesShowTheirStart();
  void openSiteOpensTheShownAddress();
  void f1OpensTheHelpFile();
  void webSiteMenuOpensTheMakersPage();
  void aboutMenuShowsTheAboutBox();
  void colourChooserRepaintsTheWindow();
  void chosenColourIsPaintedAtTheNextStart();
  void missingColourFileIsCreated();
  void hoverCaptionsNameTheImages();
  void exitEndsWithoutAQuestion();
  void hiddenPanelButtonsRunTheirCommands_data();
  void hiddenPanelButtonsRunTheirCommands();
  void damagedFileAndConflictCopyAreEachToldOnce();
};

void WindowCommandsTest::startUpListsTheNamesInTheSavedColour() {
  StartedWindow w;
  w.form.setBoxText(Box::Web, "Text2");
  QVERIFY(w.start());
  QCOMPARE(w.list()->count(), 2);
  QCOMPARE(w.list()->nameAt(0), QStringLiteral("alpha.com"));
  QCOMPARE(w.list()->nameAt(1), QStringLiteral("zeta.org"));
  QCOMPARE(w.box("lblw")->text(), QString());
  QCOMPARE(w.notes()->toPlainText(), QString());
  QCOMPARE(w.backgroundColour(), QColor(255, 255, 192));
  QCOMPARE(w.dialogs.messages.size(), size_t(1));  // the no-password warning
}

void WindowCommandsTest::clickingANameShowsItsEntry() {
  StartedWindow w;
  QVERIFY(w.start());
  w.clickName(0);
  QCOMPARE(w.box("lblw")->text(), QStringLiteral("alpha.com"));
  QCOMPARE(w.box("lblu")->text(), QStringLiteral("ann"));
  QCOMPARE(w.box("lblp")->text(), QStringLiteral("a-pass"));
  QCOMPARE(w.notes()->toPlainText(), QStringLiteral("first\nsecond"));
}

void WindowCommandsTest::ctrlNAddsAnEntry() {
  StartedWindow w;
  QVERIFY(w.start());
  w.clickName(0);
  // Three answers, one appended record, the name in its sorted place.
  w.dialogs.answerInput("beta.net");
  w.dialogs.answerInput("bob");
  w.dialogs.answerInput("");
  QTest::keyClick(w.list(), Qt::Key_N, Qt::ControlModifier);
  const std::string afterNew = line("zeta.org", "zed", "z-pass", "") +
                               line("alpha.com", "ann", "a-pass", "first\r\nsecond") +
                               line("beta.net", "bob", nullptr, "");
  QCOMPARE(w.dir.read("passwords.dat"), afterNew);
  QCOMPARE(w.list()->nameAt(1), QStringLiteral("beta.net"));
  QCOMPARE(w.box("lblw")->text(), QStringLiteral("alpha.com"));
  QVERIFY(w.dialogs.allAnswered());
}

void WindowCommandsTest::ctrlSSavesTheShownEntry() {
  StartedWindow w;
  QVERIFY(w.start());
  w.clickName(0);
  w.box("lblp")->setText("changed");
  w.dialogs.answerMessage(kYes);
  QTest::keyClick(w.box("lblp"), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(w.dir.read("passwords.dat"), line("zeta.org", "zed", "z-pass", "") +
                                            line("alpha.com", "ann", "changed", "first\r\nsecond"));
  QVERIFY(w.dialogs.allAnswered());
}

void WindowCommandsTest::deleteKeyDeletesTheShownEntry() {
  StartedWindow w;
  QVERIFY(w.start());
  w.clickName(0);
  // The caret in the web-address box: the entry goes, no character does.
  w.box("lblw")->setFocus();
  w.box("lblw")->setCursorPosition(0);
  w.dialogs.answerMessage(kYes);
  QTest::keyClick(w.box("lblw"), Qt::Key_Delete);
  QCOMPARE(w.dialogs.messages.back().text,
           QStringLiteral("Are you sure you want to delete the file alpha.com?"));
  QCOMPARE(w.dir.read("passwords.dat"), line("zeta.org", "zed", "z-pass", ""));
  QCOMPARE(w.list()->count(), 1);
  QCOMPARE(w.box("lblw")->text(), QString());
  QCOMPARE(w.notes()->toPlainText(), QStringLiteral("first\nsecond"));
  QVERIFY(w.dialogs.allAnswered());
}

void WindowCommandsTest::imagesNeedANameToSaveOrDelete() {
  StartedWindow w;
  QVERIFY(w.start());
  const std::string before = w.dir.read("passwords.dat");
  const size_t asked = w.dialogs.messages.size();
  w.dialogs.answerMessage(kNo);  // would be taken by a question that must not come

  QTest::mouseClick(w.child<ImageButton>("Image1"), Qt::LeftButton);
  QTest::mouseClick(w.child<ImageButton>("Image2"), Qt::LeftButton);
  QCOMPARE(w.dialogs.messages.size(), asked);

  // The menu item runs even with no name: its question names nothing.
  w.child<QAction>("f3")->trigger();
  QCOMPARE(w.dialogs.messages.at(asked).text,
           QStringLiteral("Are you sure you want to delete the file ?"));
  QCOMPARE(w.dialogs.messages.back().text, QStringLiteral("Operation Aborted"));

  // A name of blanks is a name: the image asks.
  w.form.setBoxText(Box::Web, " ");
  w.dialogs.answerMessage(kNo);
  QTest::mouseClick(w.child<ImageButton>("Image2"), Qt::LeftButton);
  QCOMPARE(w.dialogs.messages.at(asked + 2).title, QStringLiteral("Delete File"));
  QCOMPARE(w.dir.read("passwords.dat"), before);
}

void WindowCommandsTest::pickedLongValuesShowTheirStart() {
  const std::string longName = "start." + std::string(150, 'x') + ".example.org";
  const std::string longUser = "start." + std::string(150, 'y');
  StartedWindow w;
  w.dir.write("passwords.dat", line(longName.c_str(), longUser.c_str(), longUser.c_str(), "") +
                                   line("other.org", longUser.c_str(), "pass", ""));
  QVERIFY(w.start());
  // The index of the first character a box shows, as it is drawn.
  auto firstShown = [](QLineEdit* box) {
    box->grab();
    return box->cursorPositionAt(QPoint(1, box->height() / 2));
  };

  w.clickName(1);
  for (const char* name : {"lblw", "lblu", "lblp"}) QCOMPARE(firstShown(w.box(name)), 0);
  // Also after the user went to the end of the boxes.
  for (const char* name : {"lblw", "lblu", "lblp"}) {
    w.box(name)->end(false);
    QVERIFY(firstShown(w.box(name)) > 0);
  }
  w.clickName(0);
  QCOMPARE(firstShown(w.box("lblu")), 0);
  w.clickName(1);
  for (const char* name : {"lblw", "lblu", "lblp"}) QCOMPARE(firstShown(w.box(name)), 0);
}

void WindowCommandsTest::openSiteOpensTheShownAddress() {
  StartedWindow w;
  QVERIFY(w.start());
  w.form.setBoxText(Box::Web, "www.example.com");
  QTest::mouseClick(w.child<ImageButton>("Image3"), Qt::LeftButton);
  QCOMPARE(w.shell.urls, QStringList({"http://www.example.com/"}));
  QTest::keyClick(w.notes(), Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(w.shell.urls, QStringList({"http://www.example.com/", "http://www.example.com/"}));
}

void WindowCommandsTest::f1OpensTheHelpFile() {
  StartedWindow w;
  QVERIFY(w.start());
  QTest::keyClick(w.box("lblu"), Qt::Key_F1);
  QCOMPARE(w.shell.files, QStringList({QString::fromStdString(w.dir.file("help.htm").string())}));
}

void WindowCommandsTest::webSiteMenuOpensTheMakersPage() {
  StartedWindow w;
  QVERIFY(w.start());
  w.child<QAction>("om5")->trigger();
  QCOMPARE(w.shell.urls.size(), 1);
  QVERIFY2(w.shell.urls.last().startsWith("http://"), qPrintable(w.shell.urls.last()));
}

void WindowCommandsTest::aboutMenuShowsTheAboutBox() {
  StartedWindow w;
  QVERIFY(w.start());
  w.child<QAction>("om2")->trigger();
  QCOMPARE(w.dialogs.messages.back().title, QStringLiteral("About Ombrel"));
  QCOMPARE(w.dialogs.messages.back().style, kInformationOk);
}

void WindowCommandsTest::colourChooserRepaintsTheWindow() {
  StartedWindow w;
  QVERIFY(w.start());
  QWidget* chooser = w.child("Frame4");
  QVERIFY(chooser->isHidden());
  w.child<QAction>("om7")->trigger();
  QVERIFY(chooser->isVisible());

  for (int index : {5, 17}) {
    QTest::mouseClick(w.member<PictureBox>("clr", index), Qt::LeftButton);
  }
  QCOMPARE(w.backgroundColour(), QColor(255, 0, 0));
  QCOMPARE(w.dir.read("pwclr.dat"), std::string(" 255 \r\n"));
  QVERIFY(chooser->isVisible());  // stays open for another try

  QTest::mouseClick(w.child<QWidget>("Command11"), Qt::LeftButton);
  QVERIFY(chooser->isHidden());
  QCOMPARE(w.backgroundColour(), QColor(255, 0, 0));
}

void WindowCommandsTest::chosenColourIsPaintedAtTheNextStart() {
  StartedWindow w;
  QVERIFY(w.start());
  w.form.clr_Click(17);
  QCOMPARE(w.backgroundColour(), QColor(255, 0, 0));
  StartedWindow next;
  next.dir.write("pwclr.dat", w.dir.read("pwclr.dat"));
  QVERIFY(next.start());
  QCOMPARE(next.backgroundColour(), QColor(255, 0, 0));
}

void WindowCommandsTest::missingColourFileIsCreated() {
  StartedWindow w;
  QVERIFY(w.start());
  std::filesystem::remove(w.dir.file("pwclr.dat"));
  w.form.clr_Click(0);
  QCOMPARE(w.dir.read("pwclr.dat"), std::string(" 16777215 \r\n"));
}

void WindowCommandsTest::hoverCaptionsNameTheImages() {
  StartedWindow w;
  QVERIFY(w.start());
  QCOMPARE(w.hoverCaption(), QString());
  const struct {
    const char* image;
    const char* caption;
  } images[] = {
      {"Image4", "New"}, {"Image1", "Save"}, {"Image2", "Delete"}, {"Image3", "Open Site"}};
  auto* frame = w.child<ToolBarFrame>("Frame3");
  for (const auto& each : images) {
    QTest::mouseMove(w.child(each.image), QPoint(10, 10));
    QTRY_COMPARE(w.hoverCaption(), QString::fromLatin1(each.caption));
    QTest::mouseMove(frame, QPoint(2, 2));  // the margin of the tool bar
    QTRY_COMPARE(w.hoverCaption(), QString());
  }
  QTest::mouseMove(w.child("Image4"), QPoint(10, 10));
  QTRY_COMPARE(w.hoverCaption(), QStringLiteral("New"));
  QTest::mouseMove(w.list()->viewport(), QPoint(5, 5));  // elsewhere: kept
  QCOMPARE(w.hoverCaption(), QStringLiteral("New"));
}

void WindowCommandsTest::exitEndsWithoutAQuestion() {
  StartedWindow w;
  QVERIFY(w.start());
  const size_t asked = w.dialogs.messages.size();
  w.form.setBoxText(Box::Password, "edited, not saved");
  w.child<QAction>("om4")->trigger();
  QCOMPARE(w.ended, 1);
  QCOMPARE(w.dialogs.messages.size(), asked);
}

// No user can reach the hidden panel, but its buttons keep their commands:
// each click shows which command ran by what it asks or does first.
void WindowCommandsTest::hiddenPanelButtonsRunTheirCommands_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("firstSign");
  for (const char* button : {"Command9", "Command1"})
    QTest::newRow(button) << button << "Name Web Site";
  for (const char* button : {"Command7", "Command3"})
    QTest::newRow(button) << button << "Nothing was saved.";
  for (const char* button : {"Command8", "Command4"})
    QTest::newRow(button) << button << "Delete File";
  QTest::newRow("Command5") << "Command5"
                            << "Nothing was written.";
  QTest::newRow("Command6") << "Command6"
                            << "list emptied";
  QTest::newRow("Command2") << "Command2"
                            << "http://picked.example/";
  QTest::newRow("Command10") << "Command10"
                             << "ended";
}

void WindowCommandsTest::hiddenPanelButtonsRunTheirCommands() {
  QFETCH(QString, button);
  QFETCH(QString, firstSign);
  WindowFixture w;
  w.form.addName("picked.example");
  w.form.setBoxText(Box::Web, "picked.example");
  w.dialogs.answerInput(QString());  // New: cancelled at the first prompt
  w.dialogs.answerMessage(kNo);      // Delete: not confirmed

  w.child<QPushButton>(button.toLatin1().constData())->click();

  QStringList signs;
  for (const auto& prompt : w.dialogs.prompts) signs << prompt.prompt;
  for (const auto& message : w.dialogs.messages) signs << message.title << message.text;
  signs << w.shell.urls;
  if (w.form.nameCount() == 0) signs << "list emptied";
  if (w.ended) signs << "ended";
  QVERIFY2(std::any_of(signs.begin(), signs.end(),
                       [&](const QString& sign) { return sign.endsWith(firstSign); }),
           qPrintable(signs.join(" | ")));
}

// What start-up found comes first, then the merge it rules out, each once,
// however often the folder changes meanwhile.
void WindowCommandsTest::damagedFileAndConflictCopyAreEachToldOnce() {
  StartedWindow w;
  const std::string cutOff =
      line("zeta.org", "zed", "z-pass", "") + "\"" + enc("cut.org") + "\",\"" + enc("u") + "\"";
  w.dir.write("passwords.dat", cutOff);
  const std::string copy = "passwords.sync-conflict-20260102-030405-ABCDEFG.dat";
  w.dir.write(copy, line("new.org", "n", "p", ""));
  QVERIFY(w.start());
  w.form.formShown();
  w.dir.write("unrelated.txt", "x");  // the folder changes
  QTest::qWait(3 * DataFolderWatcher::kSettleMs);
  QStringList told;
  for (const auto& message : w.dialogs.messages) told << message.text.section(':', 0, 0);
  QCOMPARE(told, QStringList({"The Ombrel has no password. Click on 'Ombrel' and click 'Change "
                              "Password' to asign a password.",
                              "The entry file ends inside an entry",
                              "The entry file ends in the middle of an entry, so Ombrel will not "
                              "merge the copy a sync tool left"}));
  QCOMPARE(w.dir.read("passwords.dat"), cutOff);
  QVERIFY(w.dir.exists(copy));
}

QTEST_MAIN(WindowCommandsTest)

#include "WindowCommandsTest.moc"
