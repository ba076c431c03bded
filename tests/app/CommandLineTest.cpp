// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/CoreFiles.h"
#include "app/StandardStreams.h"

namespace ombrel {
namespace {

using Action = CommandLine::Action;

// One table for every option: what it asks for, with which file and format,
// or the mistake reported.
TEST(CommandLineTest, TakesEachOptionOrSaysWhatIsWrong) {
  const std::string KeePassXC = "keepassxc", Bitwarden = "bitwarden", Chrome = "chrome";
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    std::string file = {};
    std::string format = "keepassxc";
    std::string error = {};
    ShownField field = ShownField::All;
  };
  const std::string kOneCommand =
      "give only one of --import, --export, --list, --show, --report and --check-pwned";
  const std::string kDashValue =
      "option '--export' requires an argument; a value that starts with '-' is given as "
      "--export=VALUE";
  // clang-format off
  const Case cases[] = {
      {{}, Action::Run},
      {{"--help"}, Action::Help},
      {{"-h"}, Action::Help},
      {{"--version"}, Action::Version},
      // Help wins over version and over a command, whatever the order.
      {{"--version", "--help"}, Action::Help},
      {{"--help", "--import", "x.csv"}, Action::Help},
      {{"--"}, Action::Run},
      {{"--import", "logins.csv"}, Action::Import, "logins.csv"},
      {{"--import=a b.csv"}, Action::Import, "a b.csv"},
      {{"--export", "-"}, Action::Export, "-"},
      {{"--format", "chrome", "--export", "out.csv"}, Action::Export, "out.csv", Chrome},
      {{"--export=out.csv", "--format=bitwarden"}, Action::Export, "out.csv", Bitwarden},
      // A value as the next argument never looks like an option; with "=" it may.
      {{"--export", "--help"}, Action::Usage, {}, KeePassXC, kDashValue},
      {{"--export", "--"}, Action::Usage, {}, KeePassXC, kDashValue},
      {{"--import", "--version"}, Action::Usage, {}, KeePassXC,
       "option '--import' requires an argument; a value that starts with '-' is given as "
       "--import=VALUE"},
      {{"--export=--help"}, Action::Export, "--help"},
      {{"--export", "./--help"}, Action::Export, "./--help"},
      // A file name reaches the file system byte for byte, UTF-8 or not.
      {{"--export", "caf\xE9.csv"}, Action::Export, "caf\xE9.csv"},
      // A mistake anywhere is reported, even beside an option that is known.
      {{"--help", "--bogus"}, Action::Usage, {}, KeePassXC, "unrecognized option '--bogus'"},
      {{"-v"}, Action::Usage, {}, KeePassXC, "unrecognized option '-v'"},
      {{"--help=yes"}, Action::Usage, {}, KeePassXC, "unrecognized option '--help=yes'"},
      // Qt's own options are not taken: the program reads no others.
      {{"-platform", "offscreen"}, Action::Usage, {}, KeePassXC, "unrecognized option '-platform'"},
      {{"passwords.dat"}, Action::Usage, {}, KeePassXC, "unexpected argument 'passwords.dat'"},
      {{"-"}, Action::Usage, {}, KeePassXC, "unexpected argument '-'"},
      {{"--", "--help"}, Action::Usage, {}, KeePassXC, "unexpected argument '--help'"},
      {{"--import", "x", "y"}, Action::Usage, {}, KeePassXC, "unexpected argument 'y'"},
      {{"--export="}, Action::Usage, {}, KeePassXC, "option '--export' requires an argument"},
      {{"--export", "x", "--format"}, Action::Usage, {}, KeePassXC,
       "option '--format' requires an argument"},
      {{"--export", "x", "--format", "KeePassXC"}, Action::Usage, {}, KeePassXC,
       "unknown format 'KeePassXC' (keepassxc, bitwarden or chrome)"},
      {{"--export", "x", "--format", "chrome", "--format", "chrome"}, Action::Usage, {}, KeePassXC,
       "option '--format' given twice"},
      {{"--import", "x", "--format", "chrome"}, Action::Usage, {}, KeePassXC,
       "option '--format' applies to --export only"},
      {{"--import", "x", "--export", "y"}, Action::Usage, {}, KeePassXC, kOneCommand},
      {{"--report", "--list"}, Action::Usage, {}, KeePassXC, kOneCommand},
      {{"--list"}, Action::List},
      {{"--report"}, Action::Report},
      {{"--check-pwned", "leaks.txt"}, Action::CheckPwned, "leaks.txt"},
      {{"--show=-dash.example"}, Action::Show, "-dash.example"},
      {{"--show", "a.example", "--field", "url"}, Action::Show, "a.example", KeePassXC, {},
       ShownField::Url},
      {{"--show", "a", "--field", "pin"}, Action::Usage, {}, KeePassXC,
       "unknown field 'pin' (name, url, user, password or notes)"},
      {{"--list", "--field", "url"}, Action::Usage, {}, KeePassXC,
       "option '--field' applies to --show only"},
      {{"--import", "-"}, Action::Usage, {}, KeePassXC,
       "--import reads a file, not standard input"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string shown;
    for (std::string_view argument : c.arguments) shown += std::string(argument) + " ";
    const CommandLine parsed = parseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action) << shown;
    EXPECT_EQ(parsed.file, c.file) << shown;
    EXPECT_EQ(parsed.format->exportName, c.format) << shown;
    EXPECT_EQ(parsed.error, c.error) << shown;
    EXPECT_EQ(parsed.field, c.field) << shown;
  }
}

// What a crafted file could make the terminal do is shown instead.
TEST(PrintableTest, ControlCharactersAreShownEscapedAndMessagesBounded) {
  const std::pair<QString, std::string> messages[] = {
      {"two\nlines", "two\nlines"},
      {"\x1B]2;title\x07 \x1B[2J", "\\x1B]2;title\\x07 \\x1B[2J"},
      {"back\\slash \r \x7F", "back\\\\slash \\x0D \\x7F"},
      {QString(QChar(0x9B)) + "\u20AC", "\\x9B\xE2\x82\xAC"},
  };
  for (const auto& [text, shown] : messages) EXPECT_EQ(printableMessage(text), shown);
  const std::string cut = printableMessage(QString(3000, QChar(0x20AC)));
  EXPECT_LE(cut.size(), kMaxMessageBytes);
  EXPECT_EQ(cut.substr(cut.size() - 6), "\xE2\x82\xAC...");
  EXPECT_EQ(printableRecord("a\tb\nc\n"), "a\\x09b\\x0Ac\n");
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
