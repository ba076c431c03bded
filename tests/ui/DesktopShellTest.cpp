// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "ui/DesktopShell.h"
#include "web/WebCommands.h"

namespace ombrel {
namespace {

TEST(DesktopShellTest, SaysWhyItCannotOpenAUrlWithABlankInItsHost) {
  DesktopShell shell;  // stops before the desktop is asked
  QString reason;
  EXPECT_FALSE(shell.openUrl(siteUrl("my bank.example"), reason));
  EXPECT_EQ(reason, "Invalid hostname (contains invalid characters)");
}

}  // namespace
}  // namespace ombrel
