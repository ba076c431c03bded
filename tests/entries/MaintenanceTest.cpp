// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <sys/stat.h>

#include <functional>

#include "SessionFixture.h"

namespace ombrel {
namespace {

using testing::enc;
using ::testing::HasSubstr;

class MaintenanceTest : public testing::SessionFixture {};

TEST_F(MaintenanceTest, EncodeAppendsStoredRecordsWithEveryFieldQuoted) {
  dir.write("passwords.dat", "\"a.com\",,\"pw\",\r\nb.com , u,\"\",\"n\"\r\n");
  session.encodePlainEntryFile();
  const std::string expected = "\"" + enc("a.com") + "\",\"\",\"" + enc("pw") + "\",\"\"\r\n\"" +
                               enc("b.com") + "\",\"" + enc("u") + "\",\"\",\"" + enc("n") +
                               "\"\r\n";
  EXPECT_EQ(dir.read("passwords2.dat"), expected);
  session.encodePlainEntryFile();  // twice: appended twice
  EXPECT_EQ(dir.read("passwords2.dat"), expected + expected);
  EXPECT_TRUE(dialogs.messages.empty());

  session.loadTempEntryNames();
  EXPECT_EQ(window.names, QStringList({"a.com", "a.com", "b.com", "b.com"}));
}

TEST_F(MaintenanceTest, EncodeWritesNothingWhenACharacterCannotBeEncoded) {
  dir.write("passwords.dat", "\"a.com\",\"u\",\"p\",\"n\"\r\n\"" + enc("stored") + "\",,,\r\n");
  session.encodePlainEntryFile();
  EXPECT_FALSE(dir.exists("passwords2.dat"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("Nothing was written"));
}

// A link in place of the converted file could lead the passwords out of the
// data directory, and a pipe would hold the window until someone reads it:
// neither is written to, nor is the link's target touched.
TEST_F(MaintenanceTest, EncodeRefusesALinkOrAPipeInPlaceOfItsTarget) {
  dir.write("passwords.dat", "\"a.com\",\"u\",\"p\",\"n\"\r\n");
  testing::TempDataDir outside;
  outside.write("elsewhere.dat", "theirs");
  std::filesystem::permissions(outside.file("elsewhere.dat"), std::filesystem::perms(0644));
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"link",
       [&] {
         std::filesystem::create_symlink(outside.file("elsewhere.dat"), dir.file("passwords2.dat"));
       }},
      {"pipe", [&] { ASSERT_EQ(::mkfifo(dir.file("passwords2.dat").c_str(), 0600), 0); }},
  };
  for (const auto& [what, make] : cases) {
    SCOPED_TRACE(what);
    std::filesystem::remove(dir.file("passwords2.dat"));
    make();
    dialogs.messages.clear();
    session.encodePlainEntryFile();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_THAT(dialogs.messages[0].text.toStdString(), HasSubstr("passwords2.dat"));
  }
  EXPECT_EQ(outside.read("elsewhere.dat"), "theirs");
  EXPECT_EQ(std::filesystem::status(outside.file("elsewhere.dat")).permissions(),
            std::filesystem::perms(0644));
}

TEST_F(MaintenanceTest, LoadOfAMissingOrEmptyFileEmptiesTheList) {
  window.addNames({"x", "y"});
  session.loadTempEntryNames();
  EXPECT_TRUE(window.names.isEmpty());
  dir.write("passwords.dat", "");
  session.encodePlainEntryFile();
  EXPECT_TRUE(dir.exists("passwords2.dat"));
  EXPECT_EQ(dir.read("passwords2.dat"), "");
}

}  // namespace
}  // namespace ombrel
