// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/CoreFiles.h"

namespace ombrel {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, TakesItsTwoOptionsOrNothing) {
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    std::string error;
  };
  const Case cases[] = {
      {{}, Action::Run, ""},
      {{"--help"}, Action::Help, ""},
      {{"-h"}, Action::Help, ""},
      {{"--version"}, Action::Version, ""},
      // Help wins over version, whatever the order.
      {{"--version", "--help"}, Action::Help, ""},
      {{"--"}, Action::Run, ""},
      // A mistake anywhere is reported, even beside an option that is known.
      {{"--help", "--bogus"}, Action::Usage, "unrecognized option '--bogus'"},
      {{"-v"}, Action::Usage, "unrecognized option '-v'"},
      {{"--help=yes"}, Action::Usage, "unrecognized option '--help=yes'"},
      // Qt's own options are not taken: the program reads nothing from its command line.
      {{"-platform", "offscreen"}, Action::Usage, "unrecognized option '-platform'"},
      {{"passwords.dat"}, Action::Usage, "unexpected argument 'passwords.dat'"},
      {{"-"}, Action::Usage, "unexpected argument '-'"},
      {{"--", "--help"}, Action::Usage, "unexpected argument '--help'"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (std::string_view argument : c.arguments) shown += std::string(argument) + " ";
    const CommandLine parsed = parseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action) << shown;
    EXPECT_EQ(parsed.error, c.error) << shown;
  }
}

TEST(CommandLineTest, TakesTheImportAndExportWithTheirFiles) {
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    std::string file;
    ExportFormat format;
    std::string error;
  };
  const auto kKeePassXC = ExportFormat::KeePassXC;
  const Case cases[] = {
      {{"--import", "logins.csv"}, Action::Import, "logins.csv", kKeePassXC, ""},
      {{"--import=a b.csv"}, Action::Import, "a b.csv", kKeePassXC, ""},
      {{"--export", "-"}, Action::Export, "-", kKeePassXC, ""},
      {{"--format", "chrome", "--export", "out.csv"},
       Action::Export,
       "out.csv",
       ExportFormat::Chrome,
       ""},
      {{"--export=out.csv", "--format=bitwarden"},
       Action::Export,
       "out.csv",
       ExportFormat::Bitwarden,
       ""},
      // The value is the next argument, whatever it looks like.
      {{"--export", "--help"}, Action::Export, "--help", kKeePassXC, ""},
      {{"--help", "--import", "x.csv"}, Action::Help, "", kKeePassXC, ""},
      {{"--import"}, Action::Usage, "", kKeePassXC, "option '--import' requires an argument"},
      {{"--export="}, Action::Usage, "", kKeePassXC, "option '--export' requires an argument"},
      {{"--export", "x", "--format"},
       Action::Usage,
       "",
       kKeePassXC,
       "option '--format' requires an argument"},
      {{"--export", "x", "--format", "KeePassXC"},
       Action::Usage,
       "",
       kKeePassXC,
       "unknown format 'KeePassXC' (keepassxc, bitwarden or chrome)"},
      {{"--export", "x", "--format", "chrome", "--format", "chrome"},
       Action::Usage,
       "",
       kKeePassXC,
       "option '--format' given twice"},
      {{"--import", "x", "--format", "chrome"},
       Action::Usage,
       "",
       kKeePassXC,
       "option '--format' applies to --export only"},
      {{"--import", "x", "--export", "y"},
       Action::Usage,
       "",
       kKeePassXC,
       "give one --import or one --export"},
      {{"--import", "-"},
       Action::Usage,
       "",
       kKeePassXC,
       "--import reads a file, not standard input"},
      {{"--import", "x", "y"}, Action::Usage, "", kKeePassXC, "unexpected argument 'y'"},
      {{"--imports", "x"}, Action::Usage, "", kKeePassXC, "unrecognized option '--imports'"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (std::string_view argument : c.arguments) shown += std::string(argument) + " ";
    const CommandLine parsed = parseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action) << shown;
    EXPECT_EQ(parsed.file, c.file) << shown;
    EXPECT_EQ(parsed.format, c.format) << shown;
    EXPECT_EQ(parsed.error, c.error) << shown;
  }
}

// Read back inside the process, as the kernel sees it when the program crashes
// or another process tries to attach.
TEST(CoreFilesTest, NoCoreFileAndNoOtherProcessReadsTheMemory) {
  keepMemoryPrivate();
  rlimit core{};
  ASSERT_EQ(::getrlimit(RLIMIT_CORE, &core), 0);
  EXPECT_EQ(core.rlim_cur, 0u);
  EXPECT_EQ(core.rlim_max, 0u);
#ifndef OMBREL_SANITIZE
  EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
#endif
}

}  // namespace
}  // namespace ombrel
