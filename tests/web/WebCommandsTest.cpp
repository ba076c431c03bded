// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "storage/DataDirectory.h"
#include "web/WebCommands.h"

namespace ombrel {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
TEST(OpenSiteTest, MakesAUrlOfTheBoxText) {
  struct Case {
    const char* typed;
    const char* url;
  } cases[] = {
      {"zeta.example", "http://zeta.example/"},
      {"zeta.example/login", "http://zeta.example/login/"},
      {"http://y.example", "http://y.example"},
      {"HTTPS://y.example/login", "HTTPS://y.example/login"},
      {"hTTp://y.example/", "hTTp://y.example/"},
      {"http:y.example", "http://http:y.example/"},  // not a scheme followed by //
      {"httpx.example", "http://httpx.example/"},
      {" zeta.example  ", "http://zeta.example/"},
      {"my bank.example", "http://my%20bank.example/"},
      {"  https://a.example/my page ", "https://a.example/my%20page"},
      {"", "http:///"},
      {"   ", "http:///"},
  };
  testing::RecordingShell shell;
  testing::ScriptedDialogs dialogs;
  for (const Case& c : cases) {
    openSite(shell, dialogs, c.typed);
    EXPECT_EQ(shell.urls.last(), c.url) << c.typed;
  }
  EXPECT_TRUE(dialogs.messages.empty());

  shell.accept = false;
  openSite(shell, dialogs, "down.example");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "The web site could not be opened:\nhttp://down.example/\n\nNo browser here.");
  EXPECT_EQ(dialogs.messages[0].style, kWarningOk);
  EXPECT_EQ(dialogs.messages[0].title, "Ombrel");
}

TEST(OpenBrowserTest, FallsBackToTheMakerSiteForNonWebAddresses) {
  testing::RecordingShell shell;
  EXPECT_TRUE(openBrowser(shell, "HTTPS://Example.com").ok);
  openBrowser(shell, "hTtp:odd");
  openBrowser(shell, "ftp://example.com");
  openBrowser(shell, " http://example.com");
  openBrowser(shell, "");
  EXPECT_EQ(shell.urls, QStringList({"HTTPS://Example.com", "hTtp:odd", kMakerAddress,
                                     kMakerAddress, kMakerAddress}));
  shell.accept = false;
  EXPECT_FALSE(openBrowser(shell, "http://down").ok);

  openMakerSite(shell);
  EXPECT_EQ(shell.urls.last(), QString(kMakerAddress));
  EXPECT_THAT(std::string(kMakerAddress), StartsWith("http://"));
}

TEST(HelpTest, OpensHelpPageOfTheDataDirectoryEvenWithSpaces) {
  testing::RecordingShell shell;
  openHelp(shell, storage::DataDirectory("/home/some user/My Data"));
  EXPECT_EQ(shell.files, QStringList({"/home/some user/My Data/help.htm"}));
  EXPECT_TRUE(shell.urls.isEmpty());
}

TEST(AboutTest, CreditsTheProgram) {
  testing::ScriptedDialogs dialogs;
  showAbout(dialogs);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  const auto& box = dialogs.messages[0];
  EXPECT_EQ(box.title, "About Ombrel");
  EXPECT_EQ(box.style, kInformationOk);
  for (const char* part : {"Ombrel", "version 1", "Tavik", "2026"})
    EXPECT_THAT(box.text.toStdString(), HasSubstr(part));
}

}  // namespace
}  // namespace ombrel
