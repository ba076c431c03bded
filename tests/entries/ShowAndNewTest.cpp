// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <sys/stat.h>

#include "SessionFixture.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;
using testing::line;

class ShowTest : public testing::SessionFixture {};

TEST_F(ShowTest, PickShowsTheFirstRecordOfTheName) {
  entries(line("a.com", "ann", "pw1", "two\r\nlines") + line("b.com", nullptr, "", "") +
              line("a.com", "later", "x", "y"),
          {"a.com", "b.com", "a.com"});
  pick("a.com");
  EXPECT_EQ(boxes(), QStringList({"a.com", "ann", "pw1", "two\r\nlines"}));
  window.selected = 1;  // the second "a.com" item shows the same first record
  session.showPickedEntry();
  EXPECT_EQ(boxes(), QStringList({"a.com", "ann", "pw1", "two\r\nlines"}));

  pick("b.com");  // unset and empty fields show empty boxes
  EXPECT_EQ(boxes(), QStringList({"b.com", "", "", ""}));
}

TEST_F(ShowTest, NameWithoutRecordOrFileShowsEmptyBoxes) {
  entries(line("a.com", "ann", "pw1", "n"), {"a.com", "gone.com", ""});
  window.show("typed", "edited", "edited", "kept?");
  pick("gone.com");
  EXPECT_EQ(boxes(), QStringList({"gone.com", "", "", ""}));

  pick("");  // an empty name reads no record, even one with an empty name
  EXPECT_EQ(boxes(), QStringList({"", "", "", ""}));

  std::filesystem::remove(dir.file("passwords.dat"));
  pick("a.com");
  EXPECT_EQ(boxes(), QStringList({"a.com", "", "", ""}));
  EXPECT_TRUE(dialogs.messages.empty());

  // A file that is there but cannot be read is no empty entry: the user is
  // told why nothing shows.
  std::filesystem::create_directory(dir.file("passwords.dat"));
  pick("a.com");
  EXPECT_EQ(boxes(), QStringList({"a.com", "", "", ""}));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("Is a directory"));
}

TEST_F(ShowTest, NoSelectionLooksUpTheTypedName) {
  entries(line("Case.com", "u", "p", "n"), {"Case.com"});
  window.show("Case.com");
  session.showPickedEntry();
  EXPECT_EQ(boxes(), QStringList({"Case.com", "u", "p", "n"}));
  window.show("case.com");  // names are case-sensitive
  session.showPickedEntry();
  EXPECT_EQ(boxes(), QStringList({"case.com", "", "", ""}));
}

class NewTest : public testing::SessionFixture {
 protected:
  void answer(const QString& name, const QString& user, const QString& password) {
    dialogs.answerInput(name);
    dialogs.answerInput(user);
    dialogs.answerInput(password);
  }
};

TEST_F(NewTest, AddsTheAnsweredEntry) {
  entries(line("m.com", "u", "p", "n"), {"m.com"});
  window.show("m.com", "u", "p", "n");
  answer("a.com", "ann", "s\"e,c");
  session.newEntry(kNewEntryPrompt);

  ASSERT_EQ(dialogs.prompts.size(), 3u);
  EXPECT_EQ(dialogs.prompts[0].prompt, "URL of Web Site (example: www.example.com)");
  EXPECT_EQ(dialogs.prompts[0].title, "Web Site");
  EXPECT_EQ(dialogs.prompts[1].prompt, "User Name");
  EXPECT_EQ(dialogs.prompts[1].title, "User Name");
  EXPECT_EQ(dialogs.prompts[2].prompt, "Password");
  EXPECT_EQ(dialogs.prompts[2].title, "Password");
  // Only the password is asked in a password box.
  EXPECT_FALSE(dialogs.prompts[0].password || dialogs.prompts[1].password);
  EXPECT_TRUE(dialogs.prompts[2].password);
  EXPECT_EQ(entryFile(), line("m.com", "u", "p", "n") + line("a.com", "ann", "s\"e,c", ""));
  EXPECT_EQ(window.names, QStringList({"a.com", "m.com"}));
  EXPECT_EQ(boxes(), QStringList({"m.com", "u", "p", "n"}));  // boxes untouched
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(NewTest, BlankAnswersAreStoredUnset) {
  answer("x.com", "", "");
  session.newEntry(kNewEntryPanelPrompt);
  EXPECT_EQ(dialogs.prompts[0].prompt, "Name Web Site");
  // Created when missing; user name and password unset, notes empty.
  EXPECT_EQ(entryFile(), "\"" + enc("x.com") + "\",,,\"\"\r\n");
}

TEST_F(NewTest, CancelAtTheFirstQuestionDoesNothing) {
  entries(line("x.com", nullptr, nullptr, ""), {"x.com"});
  dialogs.answerInput("");
  session.newEntry(kNewEntryPrompt);
  EXPECT_EQ(dialogs.prompts.size(), 1u);  // no second question
  EXPECT_EQ(entryFile(), line("x.com", nullptr, nullptr, ""));
  EXPECT_EQ(window.names, QStringList({"x.com"}));
}

TEST_F(NewTest, DuplicateNamesAreAllowed) {
  entries(line("x.com", nullptr, nullptr, ""), {"x.com"});
  answer("x.com", "again", "");
  session.newEntry(kNewEntryPrompt);
  EXPECT_EQ(window.names, QStringList({"x.com", "x.com"}));
  pick("x.com");
  EXPECT_EQ(boxes(), QStringList({"x.com", "", "", ""}));
}

TEST_F(NewTest, ALastLineWithoutLineEndIsKept) {
  dir.write("passwords.dat",
            line("a", "b", "c", "d").substr(0, line("a", "b", "c", "d").size() - 2));
  answer("n", "u", "p");
  session.newEntry(kNewEntryPrompt);
  EXPECT_EQ(entryFile(), line("a", "b", "c", "d") + line("n", "u", "p", ""));
}

TEST_F(NewTest, NewFileIsPrivate) {
  answer("n", "u", "p");
  session.newEntry(kNewEntryPrompt);
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("passwords.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(NewTest, ADamagedLastEntryIsNotBuiltOn) {
  // Half an entry at the end would swallow the new one.
  const std::string damaged = line("m.com", "u", "p", "n") + "\"" + enc("half") + "\",\"";
  entries(damaged, {"m.com"});
  session.newEntry(kNewEntryPrompt);  // said before the first prompt
  EXPECT_TRUE(dialogs.prompts.empty());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("not created"));
  EXPECT_EQ(entryFile(), damaged);
  EXPECT_EQ(window.names, QStringList({"m.com"}));
}

TEST_F(NewTest, AFailedWriteAddsNothing) {
  // The new version is written aside first; when that fails nothing changes.
  entries(line("m.com", "u", "p", "n"), {"m.com"});
  std::filesystem::create_directory(dir.file("passwords2.dat"));
  answer("a.com", "u", "p");
  session.newEntry(kNewEntryPrompt);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(),
              HasSubstr("passwords2.dat is in the way: Is a directory"));
  EXPECT_EQ(entryFile(), line("m.com", "u", "p", "n"));
  EXPECT_EQ(window.names, QStringList({"m.com"}));
}

TEST_F(NewTest, RefusesCharactersTheFileCannotCarry) {
  entries(line("m.com", "u", "p", "n"), {"m.com"});
  const std::string before = entryFile();
  struct Case {
    const char* text;
    const char* named;  // the character the message must name
  } cases[] = {
      {"caf\u00e9", "\u00e9"}, {"\u4e2d", "\u4e2d"}, {"\xf0\x9f\x94\x91 key", "\xf0\x9f\x94\x91"}};
  for (const Case& c : cases) {
    answer("ok.com", QString::fromUtf8(c.text), "p");
    session.newEntry(kNewEntryPrompt);
    ASSERT_FALSE(dialogs.messages.empty()) << c.text;
    const QString text = dialogs.messages.back().text;
    EXPECT_THAT(text.toStdString(), HasSubstr("\"" + std::string(c.named) + "\""));
    EXPECT_THAT(text.toStdString(), HasSubstr("not created"));
  }
  EXPECT_EQ(entryFile(), before);
  EXPECT_EQ(window.names, QStringList({"m.com"}));

  // The euro sign and other characters up to code 155 are fine.
  answer(QString::fromUtf8("\u20ac.com"), "u", "p");
  session.newEntry(kNewEntryPrompt);
  EXPECT_EQ(entryFile(), before + line("\x80.com", "u", "p", ""));
}

}  // namespace
}  // namespace ombrel
