// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakeWindow.h"
#include "ScriptedDialogs.h"
#include "TempDataDir.h"
#include "TestEncoding.h"
#include "password/ChangePassword.h"
#include "startup/Startup.h"
#include "storage/DataDirectory.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;

class ChangePasswordTest : public ::testing::Test {
 protected:
  ChangePasswordTest() : dataDir(dir.str()) { dir.write("pw.dat", "efgh\r\n"); }

  void change(const QString& answer) {
    dialogs.answerInput(answer);
    changePassword(dataDir, dialogs);
  }

  // A folder that cannot be cleared away stands where the new file must go.
  void blockTheNewFile() {
    std::filesystem::create_directories(dir.file("pw.dat.new") / "blocked");
  }

  testing::TempDataDir dir;
  storage::DataDirectory dataDir;
  testing::ScriptedDialogs dialogs;
};

TEST_F(ChangePasswordTest, StoresOneLineThatTheNextStartAccepts) {
  change("open sesame");
  ASSERT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(dialogs.prompts[0].prompt, "Enter Password:");
  EXPECT_EQ(dialogs.prompts[0].title, "Enter Password");
  EXPECT_TRUE(dialogs.prompts[0].password);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dir.read("pw.dat"), enc("open sesame") + "\r\n");
  EXPECT_FALSE(dir.exists("pw.dat.new"));

  testing::FakeWindow window;

  testing::ScriptedDialogs next;
  next.answerInput("open sesame");
  EXPECT_EQ(runStartup(window, dataDir, next).outcome, StartupOutcome::Ready);
  EXPECT_EQ(next.prompts.size(), 1u);  // asked now, no longer the no-password warning
}

TEST_F(ChangePasswordTest, LengthIsCountedAsTyped) {
  change("abc");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Password must have at least 4 characters. The password will not be saved!");
  EXPECT_EQ(dialogs.messages[0].title, "Ombrel");
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");

  change("");  // Cancel
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");

  change("    ");  // four blanks are a password
  EXPECT_EQ(dir.read("pw.dat"), "\x84\x84\x84\x84\r\n");

  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ChangePasswordTest, RefusesCharactersTheFileCannotCarry) {
  // Left out, they would empty the password or cut it below four characters.
  struct Case {
    const char* typed;
    const char* named;
  } cases[] = {
      {"\u00e9\u00e9\u00e9\u00e9", "\u00e9"}, {"abc\u00e9", "\u00e9"}, {"ab\u4e2dcd", "\u4e2d"}};
  for (const Case& c : cases) {
    dialogs.messages.clear();
    change(QString::fromUtf8(c.typed));
    ASSERT_EQ(dialogs.messages.size(), 1u) << c.typed;
    const QString text = dialogs.messages[0].text;
    EXPECT_THAT(text.toStdString(), HasSubstr("\"" + std::string(c.named) + "\""));
    EXPECT_THAT(text.toStdString(), HasSubstr("not changed"));
    EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n") << c.typed;
  }
  change(QString::fromUtf8("\u20acuro"));  // the euro sign is byte 128, within reach
  EXPECT_EQ(dir.read("pw.dat"), enc("\x80uro") + "\r\n");
}

TEST_F(ChangePasswordTest, NewFileIsPrivateToItsOwner) {
  ::chmod(dir.file("pw.dat").c_str(), 0644);  // as a copied installation may leave it
  change("abcd");
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("pw.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ChangePasswordTest, FailedReplacementKeepsTheOldPassword) {
  blockTheNewFile();
  change("abcdef");
  EXPECT_EQ(dir.read("pw.dat"), "efgh\r\n");
}

TEST_F(ChangePasswordTest, FailedReplacementSaysTheOldPasswordStands) {
  blockTheNewFile();
  change("abcdef");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("pw.dat"));
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("previous password"));
}

}  // namespace
}  // namespace ombrel
