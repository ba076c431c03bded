// SPDX-License-Identifier: MIT
// Two programs on one data directory: every writer waits for the lock, Save
// and Delete over records that changed elsewhere since they were shown, the
// conflict copies a sync tool leaves, and the list following the file.
#include <gmock/gmock.h>

#include "ScriptedRuns.h"
#include "SessionFixture.h"
#include "colour/WindowColour.h"
#include "datafolder/WriteLock.h"
#include "password/ChangePassword.h"
#include "sharing/SharedFolder.h"
#include "storage/ConflictCopies.h"
#include "storage/DirectoryLock.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;
using testing::line;
using ::testing::StartsWith;

class SharingTest : public testing::SessionFixture {
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

  // Saves a new password for a.com over a change made elsewhere, answering
  // Yes to both questions.
  void saveOverAChangeElsewhere() {
    pick("a.com");
    window.setBoxText(Box::Password, "mine");
    changeElsewhere(line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", ""));
    dialogs.answerMessage(kYes);
    dialogs.answerMessage(kYes);
    session.saveEntry();
  }

  std::vector<std::string> titles() const {
    std::vector<std::string> out;
    for (const auto& message : dialogs.messages) out.push_back(message.title.toStdString());
    return out;
  }
};

// Every writing command gives up after a short wait while another program
// holds the lock, tells the user so and changes no file.
TEST_F(SharingTest, EveryWriterWaitsForTheLockThenChangesNothing) {
  entries(testing::runEntries(), testing::runNames());
  storage::DirectoryLock other;
  ASSERT_TRUE(other.tryLock(dir.path()).ok());
  const std::string entriesBefore = entryFile();
  const QStringList namesBefore = window.names;
  for (const auto& run : testing::scriptedRuns()) {
    SCOPED_TRACE(run.name);
    dialogs.messages.clear();
    run.run(test);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_THAT(dialogs.messages.back().text.toStdString(),
                StartsWith("Another Ombrel is writing"));
    EXPECT_EQ(entryFile(), entriesBefore);
    EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");
    EXPECT_EQ(dir.read("pwclr.dat"), " 255 \r\n");
    EXPECT_FALSE(dir.exists("passwords2.dat"));
    EXPECT_EQ(window.names, namesBefore);
  }
  EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(SharingTest, StaleSaveAsksFirst) {
  pick("a.com");
  window.setBoxText(Box::Password, "mine");
  const std::string theirs = line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", "");
  changeElsewhere(theirs);
  dialogs.answerMessage(kNo);
  session.saveEntry();
  ASSERT_EQ(titles(), std::vector<std::string>{"Changed Elsewhere"});
  EXPECT_EQ(dialogs.messages[0].text,
            "This entry was changed elsewhere after you opened it. Overwrite those changes?");
  EXPECT_EQ(dialogs.messages[0].style, kConfirm);
  EXPECT_EQ(entryFile(), theirs);
}

TEST_F(SharingTest, StaleSaveOverwritesWhenAllowed) {
  saveOverAChangeElsewhere();
  EXPECT_EQ(entryFile(), line("a.com", "ann", "mine", nullptr) + line("b.com", "bob", "2", ""));
}

TEST_F(SharingTest, OwnSaveIsNotAChangeMadeElsewhere) {
  saveOverAChangeElsewhere();
  // The next Save asks as usual.
  dialogs.messages.clear();
  dialogs.answerMessage(kYes);
  session.saveEntry();
  EXPECT_EQ(titles(), std::vector<std::string>{"OverwriteFile"});
}

TEST_F(SharingTest, UnchangedOrTypedEntrySavesWithoutTheExtraQuestion) {
  pick("b.com");
  changeElsewhere(entryFile() + line("c.com", "c", "3", ""));  // another entry changed
  window.setBoxText(Box::User, "robert");
  dialogs.answerMessage(kYes);
  session.saveEntry();
  EXPECT_EQ(titles(), std::vector<std::string>{"OverwriteFile"});
  EXPECT_THAT(entryFile(), HasSubstr(line("b.com", "robert", "2", nullptr)));
}

TEST_F(SharingTest, SaveOfAnEntryDeletedElsewhereSaysSo) {
  pick("a.com");
  window.setBoxText(Box::Password, "mine");
  const std::string theirs = line("b.com", "bob", "2", "");
  changeElsewhere(theirs);
  session.saveEntry();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("\"a.com\" was deleted elsewhere"));
  EXPECT_EQ(entryFile(), theirs);
}

TEST_F(SharingTest, StaleDeleteAsksFirst) {
  pick("a.com");
  const std::string theirs = line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", "");
  changeElsewhere(theirs);
  dialogs.answerMessage(kNo);
  session.deleteEntry();
  EXPECT_EQ(titles(), std::vector<std::string>{"Changed Elsewhere"});
  EXPECT_EQ(entryFile(), theirs);
  EXPECT_EQ(window.names, QStringList({"a.com", "b.com"}));
}

// A change that lands while the user answers the usual question is caught
// under the lock, and the user is asked about it (or told the entry is gone)
// instead of losing it.
TEST_F(SharingTest, ChangeDuringTheQuestionIsCaughtBeforeTheRewrite) {
  struct ChangingDialogs : testing::ScriptedDialogs {
    std::function<void()> onQuestion;
    int messageBox(const QString& text, int style, const QString& title) override {
      if (onQuestion) std::exchange(onQuestion, nullptr)();
      return ScriptedDialogs::messageBox(text, style, title);
    }
  };
  const struct {
    const char* what;
    std::string theirs;
    const char* secondTitle;
  } cases[] = {
      {"changed", line("a.com", "ann", "theirs", "") + line("b.com", "bob", "2", ""),
       "Changed Elsewhere"},
      {"deleted", line("b.com", "bob", "2", ""), "Ombrel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    changeElsewhere(line("a.com", "ann", "1", "") + line("b.com", "bob", "2", ""));
    ChangingDialogs changing;
    Session changingSession(window, changing, test.shell, storage::DataDirectory(dir.str()));
    window.selected = static_cast<int>(window.names.indexOf("a.com"));
    changingSession.showPickedEntry();
    window.setBoxText(Box::Password, "mine");
    changing.onQuestion = [&] { changeElsewhere(c.theirs); };
    changing.answerMessage(kYes);  // the usual question
    if (std::string(c.secondTitle) == "Changed Elsewhere") changing.answerMessage(kNo);
    changingSession.saveEntry();
    ASSERT_EQ(changing.messages.size(), 2u);
    EXPECT_EQ(changing.messages[1].title, c.secondTitle);
    EXPECT_EQ(entryFile(), c.theirs);
  }
}

class ConflictCopyTest : public testing::SessionFixture {
 protected:
  ConflictCopyTest() {
    entries(line("a.com", "ann", "1", "") + line("b.com", "bob", "ours", ""), {"a.com", "b.com"});
  }
  // Offers the copies as a change in the folder does; true when the list
  // grew by the entries merged.
  bool settle() {
    const int listed = window.nameCount();
    session.folderChanged();
    return window.nameCount() > listed;
  }
};

class ConflictCopyAnswerTest : public ConflictCopyTest {
 protected:
  ConflictCopyAnswerTest() {
    dir.write(copy, line("b.com", "bob", "theirs", "") + line("c.com", "c", "3", ""));
  }
  const std::string copy = "passwords.sync-conflict-20260102-030405-ABCDEFG.dat";
  const std::string before = entryFile();
};

TEST_F(ConflictCopyAnswerTest, NoKeepsTheCopyUntilTheNextStart) {
  dialogs.answerMessage(kNo);
  EXPECT_FALSE(settle());
  EXPECT_EQ(entryFile(), before);
  EXPECT_TRUE(dir.exists(copy));
  EXPECT_FALSE(settle());  // not asked again
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].style, kConfirm);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("    b.com"));
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("may come back"));
}

TEST_F(ConflictCopyAnswerTest, YesMergesTheCopyThenSetsItAside) {
  std::filesystem::permissions(dir.file("passwords.dat"), std::filesystem::perms(0644));
  dialogs.answerMessage(kYes);
  EXPECT_TRUE(settle());
  EXPECT_EQ(entryFile(), before + line("b.com", "bob", "theirs", "") + line("c.com", "c", "3", ""));
  EXPECT_FALSE(dir.exists(copy));
  EXPECT_TRUE(dir.exists(copy + ".merged"));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  // The merged file holds passwords: it ends private, as after New or Save.
  EXPECT_EQ(std::filesystem::status(dir.file("passwords.dat")).permissions(),
            std::filesystem::perms(0600));
}

// The question names what would come in, in list order, up to a limit.
TEST_F(ConflictCopyTest, TheQuestionNamesTheEntriesItAdds) {
  std::string copy;
  for (int i = 24; i >= 0; --i)
    copy += line(("site" + std::to_string(100 + i)).c_str(), "u", "p", "");
  copy += line("Zeta.com", "z", "p", "") + line("alpha.com", "a", "p", "");
  dir.write("passwords.sync-conflict-20260102-030405-ABCDEFG.dat", copy);
  dialogs.answerMessage(kNo);
  settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  const std::string text = dialogs.messages[0].text.toStdString();
  EXPECT_THAT(text, HasSubstr("The 27 entries of it that passwords.dat does not hold will be "
                              "added:\n    alpha.com\n    site100\n    site101\n"));
  EXPECT_THAT(text, HasSubstr("\n    site118\n    and 7 more\n"));
  EXPECT_THAT(text, ::testing::Not(HasSubstr("site119")));
}

// An entry file whose last field is still open would swallow every record
// appended after it: the merge is refused before the question, once, and
// both files stay as they were.
TEST_F(ConflictCopyTest, MergeOverAnOpenQuoteIsRefused) {
  const std::string open =
      line("a.com", "ann", "1", "") + "\"" + enc("b.com") + "\",\"u\",\"p\",\"" + enc("open notes");
  dir.write("passwords.dat", open);
  const std::string copy = "passwords.sync-conflict-20260102-030405-ABCDEFG.dat";
  const std::string theirs = line("c.com", "c", "3", "");
  dir.write(copy, theirs);
  settle();
  settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(),
              StartsWith("The entry file ends in the middle"));
  EXPECT_EQ(entryFile(), open);
  EXPECT_EQ(dir.read(copy), theirs);
}

TEST_F(ConflictCopyTest, DamagedCopyIsNamedOnceThenLeftAlone) {
  const std::string copy = "passwords (conflicted copy 2026-01-02 030405).dat";
  dir.write(copy, "\"" + enc("cut off"));
  const std::string before = entryFile();
  settle();
  settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr(copy));
  EXPECT_EQ(entryFile(), before);
  EXPECT_TRUE(dir.exists(copy));
}

TEST_F(ConflictCopyTest, PasswordOrColourCopiesAreSetAsideKeepingTheCurrentFiles) {
  dir.write("pw.dat", "efgh\r\n");
  dir.write("pw.sync-conflict-20260102-030405-ABCDEFG.dat", "other\r\n");
  dir.write("pwclr (Ann's conflicted copy 2026-01-02).dat", " 255 \r\n");
  dir.write("passwords (conflicted copy 2026-01-02 030405).dat", line("a.com", "ann", "1", ""));
  EXPECT_FALSE(settle());
  ASSERT_EQ(dialogs.messages.size(), 1u);  // told once, for both files
  EXPECT_EQ(dialogs.messages[0].style, kInformationOk);
  EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");
  EXPECT_TRUE(dir.exists("pw.sync-conflict-20260102-030405-ABCDEFG.dat.merged"));
  EXPECT_TRUE(dir.exists("pwclr (Ann's conflicted copy 2026-01-02).dat.merged"));
  // A copy that adds nothing is set aside without a question.
  EXPECT_TRUE(dir.exists("passwords (conflicted copy 2026-01-02 030405).dat.merged"));
  EXPECT_TRUE(storage::conflictCopies(dir.path()).empty());
}

class FollowEntryFileTest : public ConflictCopyTest {
 protected:
  FollowEntryFileTest() {
    window.names = {"a.com", "b.com", "b.com"};
    window.selected = 2;  // the second b.com
    window.show("b.com", "typing...");
  }
  void follow(const std::string& entries) {
    dir.write("passwords.dat", entries);
    session.entryFileChanged();
  }
};

TEST_F(FollowEntryFileTest, ListFollowsTheFileKeepingThePickedEntryOnShow) {
  follow(line("0.com", "", "", "") + line("b.com", "bob", "ours", "") + line("b.com", "x", "", ""));
  EXPECT_EQ(window.names, QStringList({"0.com", "b.com", "b.com"}));
  EXPECT_EQ(window.selected, 2);
  EXPECT_EQ(window.boxText(Box::User), "typing...");
}

TEST_F(FollowEntryFileTest, APickedNameThatIsGoneIsNoLongerPicked) {
  follow(line("0.com", "", "", ""));
  EXPECT_EQ(window.selected, -1);
}

TEST_F(FollowEntryFileTest, ABrieflyMissingFileLeavesTheListAsItWas) {
  follow(line("0.com", "", "", ""));
  std::filesystem::remove(dir.file("passwords.dat"));
  session.entryFileChanged();
  EXPECT_EQ(window.names, QStringList({"0.com"}));
}

}  // namespace
}  // namespace ombrel
