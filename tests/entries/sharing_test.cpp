// Two programs on one data directory: the write lock, and Save and Delete
// over records that changed elsewhere since they were shown.
#include "EntryFixture.h"
#include "entries/WriteLock.h"
#include "startup/ChangePassword.h"
#include "storage/DirectoryLock.h"
#include "ui/ColourFile.h"

namespace ombrel {
namespace {

using testing::enc;
using testing::line;

class SharingTest : public testing::EntryFixture {
 protected:
  SharingTest() {
    setWriteLockPatience(std::chrono::milliseconds(150));
    entries(line("a.com", "ann", "1", "") + line("b.com", "bob", "2", ""), {"a.com", "b.com"});
    dir.write("pw.dat", "efgh\r\n");
    dir.write("pwclr.dat", " 255 \r\n");
  }
  ~SharingTest() override { setWriteLockPatience(std::chrono::milliseconds(5000)); }

  // Another window changes the file behind this one's back.
  void changeElsewhere(const std::string& bytes) { dir.write("passwords.dat", bytes); }

  std::vector<std::string> titles() const {
    std::vector<std::string> out;
    for (const auto& message : dialogs.messages) out.push_back(message.title.toStdString());
    return out;
  }
};

TEST_F(SharingTest, LockIsExclusiveAndFreedWithItsHolder) {
  storage::DirectoryLock first, second;
  bool busy = false;
  ASSERT_TRUE(first.tryLock(dir.path(), busy));
  EXPECT_FALSE(second.tryLock(dir.path(), busy));
  EXPECT_TRUE(busy);
  first.unlock();
  EXPECT_TRUE(second.tryLock(dir.path(), busy));
  EXPECT_FALSE(first.tryLock(dir.path() / "missing", busy));
  EXPECT_FALSE(busy);  // a folder that cannot be opened is not "busy"
}

// Every writing command gives up after a short wait while another program
// holds the lock, tells the user so and changes no file.
TEST_F(SharingTest, EveryWriterWaitsForTheLockThenChangesNothing) {
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"New",
       [&] {
         dialogs.answerInput("c.com");
         dialogs.answerInput("u");
         dialogs.answerInput("p");
         newEntry(window, dialogs, kNewEntryPrompt);
       }},
      {"Save",
       [&] {
         window.show("a.com", "changed");
         dialogs.answerMessage(kYes);
         saveEntry(window, dialogs);
       }},
      {"Delete",
       [&] {
         window.show("a.com");
         dialogs.answerMessage(kYes);
         deleteEntry(window, dialogs);
       }},
      {"Change Password",
       [&] {
         dialogs.answerInput("new password");
         changePassword(window.dataDirectory(), dialogs);
       }},
      {"Colour", [&] { saveColour(window.dataDirectory(), 0xFF00, dialogs); }},
      {"Maintenance", [&] { encodePlainEntryFile(window, dialogs); }},
  };
  storage::DirectoryLock other;
  bool busy = false;
  ASSERT_TRUE(other.tryLock(dir.path(), busy));
  const std::string entriesBefore = entryFile();
  const QStringList namesBefore = window.names;
  for (const auto& [what, run] : commands) {
    SCOPED_TRACE(what);
    dialogs.messages.clear();
    run();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.startsWith("Another Ombrel is writing"));
    EXPECT_EQ(entryFile(), entriesBefore);
    EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");
    EXPECT_EQ(dir.read("pwclr.dat"), " 255 \r\n");
    EXPECT_FALSE(dir.exists("passwords2.dat"));
    EXPECT_EQ(window.names, namesBefore);
  }
  EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(SharingTest, StaleSaveAsksAndNoChangesNothing) {
  pick("a.com");
  window.setBoxText(Box::Password, "mine");
  const std::string theirs = line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", "");
  changeElsewhere(theirs);

  dialogs.answerMessage(kNo);
  saveEntry(window, dialogs);
  ASSERT_EQ(titles(), std::vector<std::string>{"Changed Elsewhere"});
  EXPECT_EQ(dialogs.messages[0].text,
            "This entry was changed elsewhere after you opened it. Overwrite those changes?");
  EXPECT_EQ(dialogs.messages[0].style, kConfirm);
  EXPECT_EQ(entryFile(), theirs);

  dialogs.answerMessage(kYes);
  dialogs.answerMessage(kYes);
  saveEntry(window, dialogs);
  EXPECT_EQ(entryFile(), line("a.com", "ann", "mine", nullptr) + line("b.com", "bob", "2", ""));

  // Our own save is not a change made elsewhere: the next Save asks as usual.
  dialogs.messages.clear();
  dialogs.answerMessage(kYes);
  saveEntry(window, dialogs);
  EXPECT_EQ(titles(), std::vector<std::string>{"OverwriteFile"});
}

TEST_F(SharingTest, UnchangedOrTypedEntrySavesWithoutTheExtraQuestion) {
  pick("b.com");
  changeElsewhere(entryFile() + line("c.com", "c", "3", ""));  // another entry changed
  window.setBoxText(Box::User, "robert");
  dialogs.answerMessage(kYes);
  saveEntry(window, dialogs);
  EXPECT_EQ(titles(), std::vector<std::string>{"OverwriteFile"});
  EXPECT_NE(entryFile().find(line("b.com", "robert", "2", nullptr)), std::string::npos);
}

TEST_F(SharingTest, SaveOfAnEntryDeletedElsewhereSaysSo) {
  pick("a.com");
  window.setBoxText(Box::Password, "mine");
  const std::string theirs = line("b.com", "bob", "2", "");
  changeElsewhere(theirs);
  saveEntry(window, dialogs);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_TRUE(dialogs.messages[0].text.contains("\"a.com\" was deleted elsewhere"));
  EXPECT_EQ(entryFile(), theirs);
}

TEST_F(SharingTest, StaleDeleteAsksAndNoKeepsTheEntry) {
  pick("a.com");
  const std::string theirs = line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", "");
  changeElsewhere(theirs);
  dialogs.answerMessage(kNo);
  deleteEntry(window, dialogs);
  EXPECT_EQ(titles(), std::vector<std::string>{"Changed Elsewhere"});
  EXPECT_EQ(entryFile(), theirs);
  EXPECT_EQ(window.names, QStringList({"a.com", "b.com"}));
}

// A change that lands while the user answers the usual question is caught
// under the lock, and the user is asked about it instead of losing it.
TEST_F(SharingTest, ChangeDuringTheQuestionIsCaughtBeforeTheRewrite) {
  struct ChangingDialogs : testing::ScriptedDialogs {
    std::function<void()> onQuestion;
    int messageBox(const QString& text, int style, const QString& title) override {
      if (onQuestion) std::exchange(onQuestion, nullptr)();
      return ScriptedDialogs::messageBox(text, style, title);
    }
  } changing;
  pick("a.com");
  window.setBoxText(Box::Password, "mine");
  const std::string theirs = line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", "");
  changing.onQuestion = [&] { changeElsewhere(theirs); };
  changing.answerMessage(kYes);  // the usual question
  changing.answerMessage(kNo);   // ... then "changed elsewhere"
  saveEntry(window, changing);
  ASSERT_EQ(changing.messages.size(), 2u);
  EXPECT_EQ(changing.messages[1].title, "Changed Elsewhere");
  EXPECT_EQ(entryFile(), theirs);
}

}  // namespace
}  // namespace ombrel
