#include <gtest/gtest.h>

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "storage/DataDirectory.h"
#include "web/WebCommands.h"

namespace ombrel {
namespace {

TEST(OpenSiteTest, WrapsTheBoxTextAsTyped) {
  testing::RecordingShell shell;
  for (const char* typed : {"www.example.com", "", "http://x.org", "a b/path ", "  lead"})
    openSite(shell, typed);
  EXPECT_EQ(shell.urls, QStringList({"http://www.example.com/", "http:///", "http://http://x.org/",
                                     "http://a b/path /", "http://  lead/"}));
}

TEST(OpenBrowserTest, FallsBackToTheMakerSiteForNonWebAddresses) {
  testing::RecordingShell shell;
  EXPECT_TRUE(openBrowser(shell, "HTTPS://Example.com"));
  openBrowser(shell, "hTtp:odd");
  openBrowser(shell, "ftp://example.com");
  openBrowser(shell, " http://example.com");
  openBrowser(shell, "");
  EXPECT_EQ(shell.urls, QStringList({"HTTPS://Example.com", "hTtp:odd", kMakerAddress,
                                     kMakerAddress, kMakerAddress}));
  shell.accept = false;
  EXPECT_FALSE(openBrowser(shell, "http://down"));

  openMakerSite(shell);
  EXPECT_EQ(shell.urls.last(), QString(kMakerAddress));
  EXPECT_TRUE(QString(kMakerAddress).startsWith("http://"));
}

TEST(HelpTest, OpensHelpPageOfTheDataDirectoryEvenWithSpaces) {
  testing::RecordingShell shell;
  openHelp(shell, storage::DataDirectory("/home/some user/My Data"));
  EXPECT_EQ(shell.files, QStringList({"/home/some user/My Data/help.htm"}));
  EXPECT_TRUE(shell.urls.isEmpty());
}

TEST(AboutTest, NamesProgramVersionAuthorAndYear) {
  testing::ScriptedDialogs dialogs;
  showAbout(dialogs);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  const auto& box = dialogs.messages[0];
  EXPECT_EQ(box.title, "About Ombrel");
  EXPECT_EQ(box.style, 64);
  for (const char* part : {"Ombrel", "version 1", "Tavik", "2026"})
    EXPECT_NE(box.text.indexOf(part), -1) << part;
}

}  // namespace
}  // namespace ombrel
