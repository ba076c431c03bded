// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "FakeWindow.h"
#include "ScriptedDialogs.h"
#include "TempDataDir.h"
#include "TestEncoding.h"
#include "startup/Startup.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;
using testing::line;

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { window.show("Text2", "Text2", "Text2", "Text1"); }

  StartupOutcome start() { return runStartup(window, data, dialogs).outcome; }
  void setPassword(std::string_view plain) { dir.write("pw.dat", enc(plain) + "\r\n"); }

  // The background a fresh window gets from the colour file as it stands.
  std::int32_t colourAtStart() {
    testing::FakeWindow fresh;
    storage::DataDirectory freshData(dir.str());
    testing::ScriptedDialogs asked;
    EXPECT_EQ(runStartup(fresh, freshData, asked).outcome, StartupOutcome::Ready);
    return fresh.colour;
  }

  testing::TempDataDir dir;
  storage::DataDirectory data{dir.str()};
  testing::FakeWindow window;
  testing::ScriptedDialogs dialogs;
};

TEST_F(StartupTest, NoPasswordMarkerWarnsOfNoPassword) {
  dir.write("pw.dat", "efgh\r\n");
  ASSERT_EQ(start(), StartupOutcome::Ready);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "The Ombrel has no password. Click on 'Ombrel' and click 'Change Password' to asign "
            "a password.");
  EXPECT_EQ(dialogs.messages[0].title, "Ombrel");
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
}

TEST_F(StartupTest, NoPasswordMarkerListsEntriesWithoutAsking) {
  dir.write("pw.dat", "efgh\r\n");
  dir.write("passwords.dat", line("cherry", "u", "p", "") + line("apple", nullptr, nullptr, "") +
                                 line("Banana", "x", "y", "z"));
  ASSERT_EQ(start(), StartupOutcome::Ready);
  EXPECT_TRUE(dialogs.prompts.empty());
  EXPECT_EQ(window.names, QStringList({"apple", "Banana", "cherry"}));
  EXPECT_EQ(window.bulkLoads, 1);
  for (Box box : {Box::Web, Box::User, Box::Password, Box::Notes})
    EXPECT_EQ(window.boxText(box), "");
}

TEST_F(StartupTest, RightPasswordOpens) {
  setPassword("Secret");
  dir.write("passwords.dat", line("site", "u", "p", ""));

  dialogs.answerInput("Secret");
  EXPECT_EQ(start(), StartupOutcome::Ready);
  ASSERT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(dialogs.prompts[0].prompt, "Enter the Password");
  EXPECT_EQ(dialogs.prompts[0].title, "Password");
  EXPECT_TRUE(dialogs.prompts[0].password);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(window.names, QStringList({"site"}));
}

TEST_F(StartupTest, WrongPasswordEnds) {
  setPassword("Secret");
  dir.write("passwords.dat", line("site", "u", "p", ""));
  for (QString wrong : {"secret", "SECRET", "Secret ", ""}) {
    testing::FakeWindow other;
    storage::DataDirectory otherData(dir.str());
    testing::ScriptedDialogs asked;
    asked.answerInput(wrong);
    EXPECT_EQ(runStartup(other, otherData, asked).outcome, StartupOutcome::WrongPassword)
        << wrong.toStdString();
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_EQ(asked.messages[0].text,
              "The password you have entered is incorrect. This program will end now.");
    EXPECT_EQ(asked.messages[0].title, "Wrong Password!");
    EXPECT_EQ(asked.messages[0].style, kCriticalOk);
    EXPECT_TRUE(other.names.isEmpty());
  }
}

TEST_F(StartupTest, MissingPasswordFileOrAFolderInItsPlaceEnds) {
  dir.write("passwords.dat", line("site", "u", "p", ""));
  EXPECT_EQ(start(), StartupOutcome::NoPasswordFile);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "The password file has been erased or tampered with! This program will now close!");
  EXPECT_EQ(dialogs.messages[0].title, "Password File has been tampered with!");
  EXPECT_EQ(dialogs.messages[0].style, kCriticalOk);
  EXPECT_TRUE(dialogs.prompts.empty());

  std::filesystem::create_directory(dir.file("pw.dat"));
  testing::ScriptedDialogs again;
  EXPECT_EQ(runStartup(window, data, again).outcome, StartupOutcome::NoPasswordFile);
}

TEST_F(StartupTest, UnreadablePasswordFileEndsWithoutAsking) {
  // Reading a process's memory at address 0 fails with EIO, even for root,
  // whom no file mode keeps out.
  std::filesystem::create_symlink("/proc/self/mem", dir.file("pw.dat"));
  dir.write("passwords.dat", line("site", "u", "p", ""));
  EXPECT_EQ(start(), StartupOutcome::UnreadablePasswordFile);
  EXPECT_TRUE(dialogs.prompts.empty());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "The password file could not be read:\n" +
                                          QString::fromStdString(dir.file("pw.dat").string()) +
                                          "\n\nInput/output error.\n\nThis program will end now.");
  EXPECT_EQ(dialogs.messages[0].title, "Ombrel");
  EXPECT_EQ(dialogs.messages[0].style, kCriticalOk);
  EXPECT_TRUE(window.names.isEmpty());
}

TEST_F(StartupTest, PasswordFileIsJudgedByItsFirstLineOnly) {
  struct Case {
    std::string pw;
    QString answer;
    StartupOutcome expected;
  } cases[] = {
      {enc("abcd") + "\r\n" + enc("wxyz") + "\r\n", "abcd", StartupOutcome::Ready},
      {enc("abcd") + "\r\n" + enc("wxyz") + "\r\n", "wxyz", StartupOutcome::WrongPassword},
      {enc("abcd") + "\n", "abcd", StartupOutcome::Ready},  // LF only
      {enc("abcd"), "abcd", StartupOutcome::Ready},         // no line end
      {"", "", StartupOutcome::Ready},                      // empty: empty password
      {"\r\n", "x", StartupOutcome::WrongPassword},
      {"efgh\r\n", "ignored", StartupOutcome::Ready},  // marker: no prompt
  };
  for (const Case& c : cases) {
    dir.write("pw.dat", c.pw);
    testing::FakeWindow fresh;
    storage::DataDirectory freshData(dir.str());
    testing::ScriptedDialogs asked;
    asked.answerInput(c.answer);
    EXPECT_EQ(runStartup(fresh, freshData, asked).outcome, c.expected) << testing::enc(c.pw);
  }
}

TEST_F(StartupTest, UnshiftableCharactersAreLeftOutOnBothSides) {
  // Set with "ab\u00e9cd": the e-acute (233) cannot be stored, so "abcd" is kept.
  setPassword("abcd");
  dialogs.answerInput(QString::fromUtf8("ab\u00e9cd"));
  EXPECT_EQ(start(), StartupOutcome::Ready);

  dir.write("pw.dat", "\r\n");  // a password of only such characters
  testing::ScriptedDialogs asked;
  asked.answerInput(QString::fromUtf8("\u00e9\u00e8\u00ea\u00eb\u4e2d"));
  EXPECT_EQ(runStartup(window, data, asked).outcome, StartupOutcome::Ready);
}

TEST_F(StartupTest, SavedColourIsApplied) {
  dir.write("pw.dat", "efgh\r\n");
  const std::pair<const char*, std::int32_t> cases[] = {
      {" 255 \r\n", 255}, {" 12632319 \r\n", 12632319}, {"65280", 65280}, {" 0 \r\n", 0}};
  for (const auto& [file, expected] : cases) {
    dir.write("pwclr.dat", file);
    EXPECT_EQ(colourAtStart(), expected) << file;
  }
}

TEST_F(StartupTest, MissingOrUnreadableColourKeepsWhite) {
  dir.write("pw.dat", "efgh\r\n");
  EXPECT_EQ(colourAtStart(), 0xFFFFFF) << "(missing)";
  for (const char* file : {"", "\r\n", "red\r\n", "-5 \r\n", "99999999999\r\n"}) {
    dir.write("pwclr.dat", file);
    EXPECT_EQ(colourAtStart(), 0xFFFFFF) << file;
  }
}

TEST_F(StartupTest, EntryFileEdgeCases) {
  dir.write("pw.dat", "efgh\r\n");
  // Missing entry file: the window opens with an empty list.
  EXPECT_EQ(start(), StartupOutcome::Ready);
  EXPECT_TRUE(window.names.isEmpty());

  // Duplicates and an empty name are listed; a record cut off at the end is not.
  dir.write("passwords.dat", line("b", "1", "2", "3") + line("", "1", "2", "3") +
                                 line("b", "4", "5", "6") + "\"" + enc("cut") + "\",\"" + enc("x"));
  testing::FakeWindow fresh;
  storage::DataDirectory freshData(dir.str());
  testing::ScriptedDialogs asked;
  EXPECT_EQ(runStartup(fresh, freshData, asked).outcome, StartupOutcome::Ready);
  EXPECT_EQ(fresh.names, QStringList({"", "b", "b"}));
}

TEST_F(StartupTest, EntryFileEndingInsideAnEntryIsReportedAfterTheList) {
  setPassword("pw");
  const std::string whole = line("b", "1", "2", "3") + line("a", "4", "5", "6");
  struct Case {
    std::string tail;
    std::size_t reported;  // bytes after the last whole entry; 0: no damage
  } cases[] = {
      {"\"" + enc("cut") + "\",\"" + enc("x"), 8},
      {"\r\n\r\n\n\r", 0},  // blank lines an editor left are the end of the file
      {"\r\n \r\n", 5},     // a blank is not
  };
  for (const Case& c : cases) {
    dir.write("passwords.dat", whole + c.tail);
    testing::FakeWindow fresh;
    storage::DataDirectory freshData(dir.str());
    testing::ScriptedDialogs asked;
    asked.answerInput("pw");
    const Startup found = runStartup(fresh, freshData, asked);
    ASSERT_EQ(found.outcome, StartupOutcome::Ready);
    const std::size_t tail = found.damagedTail;
    EXPECT_EQ(fresh.names, QStringList({"a", "b"}));
    EXPECT_EQ(tail, c.reported) << c.tail;
    EXPECT_TRUE(asked.messages.empty());  // not before the window is shown

    warnDamagedEntryFile(freshData, asked, tail);
    ASSERT_EQ(asked.messages.size(), c.reported ? 1u : 0u);
    if (!c.reported) continue;
    const QString text = asked.messages[0].text;
    EXPECT_THAT(text.toStdString(), HasSubstr(dir.file("passwords.dat").string()));
    EXPECT_THAT(text.toStdString(),
                HasSubstr(std::to_string(c.reported) + " bytes follow the last whole entry"));
    EXPECT_EQ(asked.messages[0].style, kWarningOk);
  }
}

TEST_F(StartupTest, NamesComeBackInWindows1252) {
  dir.write("pw.dat", "efgh\r\n");
  // The euro sign is byte 128 and quote and comma survive the encoding.
  dir.write("passwords.dat", line("\x80 \"a,b\"", "u", "p", ""));
  ASSERT_EQ(start(), StartupOutcome::Ready);
  EXPECT_EQ(window.names, QStringList({QString::fromUtf8("\u20ac \"a,b\"")}));
}

TEST_F(StartupTest, LegacyDataDirectoryIsMovedBeforeAnyFileIsRead) {
  testing::FakeWindow legacy;
  storage::DataDirectory legacyData("C:\\a\\vb\\VB98");
  EXPECT_EQ(runStartup(legacy, legacyData, dialogs).outcome, StartupOutcome::NoPasswordFile);
  EXPECT_EQ(legacyData.path(), "C:\\a");

  testing::FakeWindow otherCase;
  storage::DataDirectory otherCaseData("C:\\a\\vb\\vb98");
  testing::ScriptedDialogs asked;
  runStartup(otherCase, otherCaseData, asked);
  EXPECT_EQ(otherCaseData.path(), "C:\\a\\vb\\vb98");
}

}  // namespace
}  // namespace ombrel
