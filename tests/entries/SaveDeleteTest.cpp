// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "ScriptedRuns.h"
#include "SessionFixture.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;
using testing::line;
using ::testing::Not;

class SaveTest : public testing::SessionFixture {
 protected:
  SaveTest() {
    entries(line("a.com", "ann", "1", "") + "\"" + enc("b.com") + "\",,\"\",\"" + enc("n") +
                "\"\r\n" + line("a.com", "dup", "2", "x") + line("c.com", "c", "3", "y"),
            {"a.com", "b.com", "a.com", "c.com"});
  }
};

TEST_F(SaveTest, YesReplacesEveryRecordOfTheNameInPlace) {
  window.show("a.com", "new user", "", "multi\r\nline, \"notes\"");
  dialogs.answerMessage(kYes);
  session.saveEntry();

  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "This file already exists. Do you want to overwrite the file?");
  EXPECT_EQ(dialogs.messages[0].title, "OverwriteFile");
  EXPECT_EQ(dialogs.messages[0].style, kConfirm);
  // Empty boxes are stored unset; other records are written back as read.
  const std::string replaced = "\"" + enc("a.com") + "\",\"" + enc("new user") + "\",,\"" +
                               enc("multi\r\nline, \"notes\"") + "\"\r\n";
  EXPECT_EQ(entryFile(), replaced + "\"" + enc("b.com") + "\",,\"\",\"" + enc("n") + "\"\r\n" +
                             replaced + line("c.com", "c", "3", "y"));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  EXPECT_EQ(window.names.size(), 4);

  pick("a.com");
  EXPECT_EQ(boxes(), QStringList({"a.com", "new user", "", "multi\r\nline, \"notes\""}));
}

TEST_F(SaveTest, NoOrUnknownNameLeavesTheFileByteForByte) {
  const std::string before = entryFile();
  window.show("c.com", "changed", "changed", "changed");
  dialogs.answerMessage(kNo);
  session.saveEntry();
  EXPECT_EQ(entryFile(), before);
  EXPECT_EQ(dialogs.messages.size(), 1u);

  for (const char* name : {"C.com", "c.com ", "", "unknown"}) {
    window.show(name, "changed");
    session.saveEntry();  // no question: nothing to overwrite
  }
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(entryFile(), before);
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

TEST_F(SaveTest, LeftoverTemporaryFileNeverLeaksIntoTheEntryFile) {
  dir.write("passwords2.dat", line("stale", "s", "s", "s"));
  window.show("c.com", "c", "3", "z");
  dialogs.answerMessage(kYes);
  session.saveEntry();
  EXPECT_THAT(entryFile(), Not(HasSubstr(enc("stale"))));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

// As a copy from elsewhere or a loose umask may leave them: every file that
// holds entries or the password ends private, and the maintenance encode
// appends to passwords2.dat as it finds it.
TEST_F(SaveTest, EveryWriteLeavesTheFilesPrivate) {
  for (const testing::ScriptedRun& run : testing::scriptedRuns()) {
    if (run.name == "Colour") continue;  // the colour is no secret
    SCOPED_TRACE(run.name);
    dir.write("passwords.dat",
              run.name == "Maintenance" ? "\"x\",\"u\",\"p\",\"n\"\r\n" : testing::runEntries());
    for (const char* file : {"passwords.dat", "pw.dat", "passwords2.dat"}) {
      if (!dir.exists(file)) dir.write(file, "");
      ::chmod(dir.file(file).c_str(), 0644);
    }
    window.names = testing::runNames();
    dialogs.messages.clear();
    run.run(test);
    EXPECT_TRUE(dialogs.warnings().empty());
    struct stat info {};
    ASSERT_EQ(::stat(dir.file(run.file).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
}

TEST_F(SaveTest, RefusesCharactersTheFileCannotCarry) {
  const std::string before = entryFile();
  window.show("c.com", "c", QString::fromUtf8("\u00a3 10"), "z");
  session.saveEntry();  // no question is scripted: none may come
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("\"\u00a3\""));
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("Nothing was saved"));
  EXPECT_EQ(entryFile(), before);
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  EXPECT_EQ(window.boxText(Box::Password), QString::fromUtf8("\u00a3 10"));
}

TEST_F(SaveTest, DamagedOrMissingFileIsNeverRewritten) {
  const std::string damaged = entryFile() + "\"" + enc("cut") + "\",\"";
  dir.write("passwords.dat", damaged);
  for (const char* name : {"c.com", "no record"}) {
    window.show(name, "c", "3", "z");
    dialogs.messages.clear();
    session.saveEntry();  // said before the question, which is not scripted
    EXPECT_EQ(entryFile(), damaged);
    ASSERT_EQ(dialogs.messages.size(), 1u) << name;
    EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("passwords.dat"));
    EXPECT_THAT(dialogs.messages[0].text.toStdString(),
                HasSubstr("7 bytes follow the last whole entry"))
        << name;
    EXPECT_FALSE(dir.exists("passwords2.dat"));
  }

  std::filesystem::remove(dir.file("passwords.dat"));
  session.saveEntry();
  EXPECT_FALSE(dir.exists("passwords.dat"));
  EXPECT_THAT(dialogs.messages.back().text.toStdString(), HasSubstr("No such file"));
}

TEST_F(SaveTest, AFailedRewriteSavesNothing) {
  const std::string before = entryFile();
  // A folder that cannot be cleared away stands where the temporary file goes.
  std::filesystem::create_directories(dir.file("passwords2.dat") / "blocked");
  window.show("c.com", "c", "3", "z");
  dialogs.answerMessage(kYes);
  session.saveEntry();
  EXPECT_EQ(entryFile(), before);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_THAT(dialogs.messages[1].text.toStdString(), HasSubstr("passwords.dat"));
  EXPECT_THAT(dialogs.messages[1].text.toStdString(), HasSubstr("Nothing was saved"));
}

class DeleteTest : public testing::SessionFixture {
 protected:
  DeleteTest() {
    entries(line("a.com", "ann", "1", "") + line("b.com", nullptr, nullptr, "") +
                line("a.com", "dup", "2", "x") + line("", "e", "e", "e"),
            {"a.com", "b.com", "a.com", ""});
  }
};

TEST_F(DeleteTest, YesDropsEveryEntryOfTheName) {
  pick("a.com");
  dialogs.answerMessage(kYes);
  session.deleteEntry();

  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Are you sure you want to delete the file a.com?");
  EXPECT_EQ(dialogs.messages[0].title, "Delete File");
  EXPECT_EQ(dialogs.messages[0].style, kConfirm);
  EXPECT_EQ(entryFile(), line("b.com", nullptr, nullptr, "") + line("", "e", "e", "e"));
  EXPECT_EQ(window.names, QStringList({"", "b.com"}));
  // The notes stay on show until another entry is picked.
  EXPECT_EQ(boxes(), QStringList({"", "", "", ""}));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
}

TEST_F(DeleteTest, NoAbortsTheDelete) {
  pick("b.com");
  window.setBoxText(Box::Notes, "kept");
  const std::string before = entryFile();
  dialogs.answerMessage(kNo);
  session.deleteEntry();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Operation Aborted");
  EXPECT_EQ(dialogs.messages[1].style, 0);
  EXPECT_EQ(dialogs.messages[1].title, "");
  EXPECT_EQ(entryFile(), before);
  EXPECT_EQ(window.names.size(), 4);
  EXPECT_EQ(boxes(), QStringList({"b.com", "", "", "kept"}));
}

TEST_F(DeleteTest, EmptyNameDropsTheUnnamedEntries) {
  window.show("", "u", "p", "notes");
  dialogs.answerMessage(kYes);
  session.deleteEntry();
  EXPECT_EQ(dialogs.messages[0].text, "Are you sure you want to delete the file ?");
  EXPECT_EQ(entryFile(), line("a.com", "ann", "1", "") + line("b.com", nullptr, nullptr, "") +
                             line("a.com", "dup", "2", "x"));
  EXPECT_EQ(window.names, QStringList({"a.com", "a.com", "b.com"}));
  EXPECT_EQ(boxes(), QStringList({"", "", "", "notes"}));
}

TEST_F(DeleteTest, NameDifferingOnlyInCaseDropsNothing) {
  const std::string before = entryFile();
  window.show("A.com", "u", "p", "n");
  dialogs.answerMessage(kYes);
  session.deleteEntry();
  EXPECT_EQ(entryFile(), before);
  EXPECT_EQ(window.names.size(), 4);
  EXPECT_EQ(boxes(), QStringList({"", "", "", "n"}));
}

TEST_F(DeleteTest, RemovesTheItemsOfTheNameAmongNamesEqualButForCase) {
  // Listed without regard to case, the items of "a.com" lie among those of
  // "A.com" and "A.COM", between "a.co" and "a.comx".
  window.addNames({"A.com", "a.co", "a.comx", "a.com", "A.COM"});
  ASSERT_EQ(window.names, QStringList({"", "a.co", "a.com", "a.com", "A.com", "a.com", "A.COM",
                                       "a.comx", "b.com"}));
  window.show("a.com");
  dialogs.answerMessage(kYes);
  session.deleteEntry();
  EXPECT_EQ(window.names, QStringList({"", "a.co", "A.com", "A.COM", "a.comx", "b.com"}));
}

TEST_F(DeleteTest, RefusesANameTheFileCannotCarry) {
  const std::string before = entryFile();
  window.show(QString::fromUtf8("\u00e9.com"), "u", "p", "n");
  session.deleteEntry();  // refused before the question
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("\"\u00e9\""));
  EXPECT_EQ(entryFile(), before);
}

TEST_F(DeleteTest, DamagedFileIsNeverRewritten) {
  const std::string before = entryFile();
  dir.write("passwords.dat", before + "\"" + enc("cut"));
  window.show("a.com", "u", "p", "n");
  session.deleteEntry();  // said before the question, which is not scripted
  EXPECT_THAT(dialogs.messages.back().text.toStdString(), HasSubstr("ends inside an entry"));
  EXPECT_EQ(entryFile(), before + "\"" + enc("cut"));
  EXPECT_EQ(window.names.size(), 4);
  EXPECT_EQ(window.boxText(Box::Web), "a.com");
}

TEST_F(DeleteTest, MissingFileIsNotCreated) {
  std::filesystem::remove(dir.file("passwords.dat"));
  window.show("a.com", "u", "p", "n");
  dialogs.answerMessage(kYes);
  session.deleteEntry();
  EXPECT_FALSE(dir.exists("passwords.dat"));
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  EXPECT_EQ(window.names.size(), 4);
}

}  // namespace
}  // namespace ombrel
