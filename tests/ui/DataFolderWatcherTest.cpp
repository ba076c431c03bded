// SPDX-License-Identifier: MIT
// The watcher goes on through the ways a data file is replaced, and holds its
// reports back while a question is open.
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

#include "TempDataDir.h"
#include "ui/DataFolderWatcher.h"

using namespace ombrel;
using ombrel::testing::TempDataDir;

class DataFolderWatcherTest : public QObject {
  Q_OBJECT

 private slots:
  void followsEveryWayAFileIsReplaced();
  void waitsWhileAQuestionIsOpen();
  void ownWritesAreNoNews();
};

namespace {

constexpr int kWithin = 2000;  // ms: the list must follow "within a second"

// The way sync tools and Ombrel itself write: a new file renamed over.
void replaceByRename(const TempDataDir& dir, const char* name, std::string_view bytes) {
  dir.write("incoming.tmp", bytes);
  std::filesystem::rename(dir.file("incoming.tmp"), dir.file(name));
}

}  // namespace

void DataFolderWatcherTest::followsEveryWayAFileIsReplaced() {
  TempDataDir dir;
  dir.write("passwords.dat", "1\r\n");
  dir.write("pwclr.dat", " 1 \r\n");
  DataFolderWatcher watcher(dir.path());
  QSignalSpy entries(&watcher, &DataFolderWatcher::entriesChanged);
  QSignalSpy colour(&watcher, &DataFolderWatcher::colourChanged);
  watcher.start();

  // Each step must be seen on its own; the second rename proves the watch
  // was taken up again on the new file.
  replaceByRename(dir, "passwords.dat", "2\r\n");
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 1, kWithin);
  replaceByRename(dir, "passwords.dat", "3\r\n");
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 2, kWithin);
  std::filesystem::remove(dir.file("passwords.dat"));
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 3, kWithin);
  dir.write("passwords.dat", "4\r\n");
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 4, kWithin);
  dir.write("passwords.dat", "5 in place\r\n");  // rewritten in place
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 5, kWithin);
  QCOMPARE(colour.count(), 0);

  replaceByRename(dir, "pwclr.dat", " 2 \r\n");
  QTRY_COMPARE_WITH_TIMEOUT(colour.count(), 1, kWithin);
  QCOMPARE(entries.count(), 5);
}

void DataFolderWatcherTest::waitsWhileAQuestionIsOpen() {
  TempDataDir dir;
  dir.write("passwords.dat", "1\r\n");
  DataFolderWatcher watcher(dir.path());
  QSignalSpy entries(&watcher, &DataFolderWatcher::entriesChanged);
  watcher.start();

  QDialog question;
  question.setWindowModality(Qt::ApplicationModal);
  question.show();
  replaceByRename(dir, "passwords.dat", "2\r\n");
  QTest::qWait(4 * DataFolderWatcher::kSettleMs);
  QCOMPARE(entries.count(), 0);  // the command asking must not see its list change
  question.close();
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 1, kWithin);
}

// The window's own write is not read back; a change made elsewhere while the
// command ran (while it asked, say) still is.
void DataFolderWatcherTest::ownWritesAreNoNews() {
  TempDataDir dir;
  dir.write("passwords.dat", "1\r\n");
  DataFolderWatcher watcher(dir.path());
  QSignalSpy entries(&watcher, &DataFolderWatcher::entriesChanged);
  bool running = false;
  watcher.setCommandRunning([&running] { return running; });
  watcher.start();

  running = true;
  watcher.beforeOwnWrite();
  replaceByRename(dir, "passwords.dat", "2\r\n");
  watcher.afterOwnWrite();
  running = false;
  QTest::qWait(4 * DataFolderWatcher::kSettleMs);
  QCOMPARE(entries.count(), 0);

  running = true;
  watcher.beforeOwnWrite();
  replaceByRename(dir, "passwords.dat", "3 elsewhere\r\n");
  QTest::qWait(2 * DataFolderWatcher::kSettleMs);  // while the command asks
  QCOMPARE(entries.count(), 0);
  replaceByRename(dir, "passwords.dat", "4\r\n");
  watcher.afterOwnWrite();
  running = false;
  QTRY_COMPARE_WITH_TIMEOUT(entries.count(), 1, kWithin);
}

QTEST_MAIN(DataFolderWatcherTest)

#include "DataFolderWatcherTest.moc"
