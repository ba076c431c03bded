// SPDX-License-Identifier: MIT
// Damaged data files: start-up and every command must finish without a crash,
// list what can still be read, and never lose an entry they did not remove.
// The files are made at test time; the 50 MB ones are never stored.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "Scenarios.h"
#include "TestEncoding.h"
#include "datafolder/ListedNames.h"
#include "entries/EntryCommands.h"
#include "interfaces/Dialogs.h"

namespace ombrel::reliability {
namespace {

using testing::enc;
using testing::line;

constexpr std::size_t kBig = 50u << 20;
constexpr std::int32_t kWhite = 0xFFFFFF;  // the design colour, kept when no colour can be read

std::string junk(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Two whole entries that every damaged entry file starts with.
std::string goodStart() {
  return line("a.com", "ann", "pw-a", "n") + line("b.com", "bob", "pw-b", "");
}
std::string withLf(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

struct Damage {
  const char* name;
  int file;                            // index into kDataFiles
  std::function<std::string()> bytes;  // nothing: a folder takes the file's place
  QStringList listed;                  // names start-up must still list
  StartupOutcome outcome = StartupOutcome::Ready;
  std::int32_t colour = kStartingColour;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

std::vector<Damage> damages() {
  const std::string pw = enc("secret");
  const QStringList ab = {"a.com", "b.com"};
  const QStringList abc = {"a.com", "b.com", "c.com"};
  const std::string c = line("c.com", "cy", "pw-c", "");
  std::vector<Damage> all = {
      {"EntriesJunkAfterEntries", 0, [] { return goodStart() + junk(64 << 10, 1); }, ab},
      {"EntriesAllJunk", 0, [] { return junk(64 << 10, 2); }, {}},
      {"EntriesNulBytes", 0, [] { return goodStart() + std::string(4096, '\0'); }, ab},
      {"EntriesNulInsideFields", 0,
       [] { return goodStart() + "\"" + enc("n.com") + std::string(3, '\0') + "\",\"\0\",,\r\n"; },
       ab},
      {"EntriesOneLineOf50MB",
       0,
       [c] {
         return goodStart() + "\"" + enc("big.com") + "\",,,\"" + std::string(kBig, enc("x")[0]) +
                "\"\r\n" + c;
       },
       {"a.com", "b.com", "big.com", "c.com"}},
      {"Entries50MBWithoutDelimiter", 0, [] { return goodStart() + std::string(kBig, 'y'); }, ab},
      {"EntriesQuoteNeverClosed", 0,
       [] { return goodStart() + "\"" + enc("open.com") + "\",\"u\",\"p\",\"no end"; }, ab},
      {"EntriesQuoteUnbalancedMidFile", 0,
       [c] { return goodStart() + "\"" + enc("mid.com") + ",\"u\",\"p\",\"n\"\r\n" + c; }, ab},
      {"EntriesLfLineEnds", 0, [c] { return withLf(goodStart() + c); }, abc},
      {"EntriesNoLineEndAtTheEnd", 0, [c] { return goodStart() + c.substr(0, c.size() - 2); }, abc},
      {"EntriesFiveFieldsOnALine", 0,
       [c] { return goodStart() + "\"" + enc("x.com") + "\",\"u\",\"p\",\"n\",\"extra\"\r\n" + c; },
       ab},
      {"EntriesThreeFieldsOnALine", 0,
       [c] { return goodStart() + "\"" + enc("y.com") + "\",\"u\",\"p\"\r\n" + c; }, ab},
      {"EntriesEmpty", 0, [] { return std::string(); }, {}},
      {"EntriesOnlyLineEnds", 0, [] { return std::string("\r\n\r\n\n\r"); }, {}},
      {"EntriesBytesThatCannotBeShiftedBack", 0,
       [] { return goodStart() + "\"\x01\x02" + enc("odd.com") + "\",\"\x05\",,\r\n"; }, ab},
      {"EntriesAFolder", 0, nullptr, {}},

      {"PasswordEmpty", 1, [] { return std::string(); }, ab, StartupOutcome::WrongPassword},
      {"PasswordJunk", 1, [] { return junk(4096, 3); }, ab, StartupOutcome::WrongPassword},
      {"PasswordNulBytes", 1, [] { return std::string(64, '\0'); }, ab,
       StartupOutcome::WrongPassword},
      {"PasswordOneLineOf50MB", 1, [] { return std::string(kBig, 'p'); }, ab,
       StartupOutcome::WrongPassword},
      {"PasswordLfLineEnd", 1, [pw] { return pw + "\n"; }, ab},
      {"PasswordNoLineEnd", 1, [pw] { return pw; }, ab},
      {"PasswordJunkAfterTheLine", 1, [pw] { return pw + "\r\n" + junk(4096, 4); }, ab},
      {"PasswordAFolder", 1, nullptr, ab, StartupOutcome::NoPasswordFile},

      {"ColourHuge", 2, [] { return std::string(" 99999999999999999999 \r\n"); }, ab,
       StartupOutcome::Ready, kWhite},
      {"ColourOutOfRange", 2, [] { return std::string(" 2147483647 \r\n"); }, ab,
       StartupOutcome::Ready, kWhite},
      {"ColourNegative", 2, [] { return std::string("-5 \r\n"); }, ab, StartupOutcome::Ready,
       kWhite},
      {"ColourMostNegative", 2, [] { return std::string("-2147483648 \r\n"); }, ab,
       StartupOutcome::Ready, kWhite},
      {"ColourNotANumber", 2, [] { return std::string(" blue \r\n"); }, ab, StartupOutcome::Ready,
       kWhite},
      {"ColourHex", 2, [] { return std::string("0xFF\r\n"); }, ab, StartupOutcome::Ready, kWhite},
      {"ColourEmpty", 2, [] { return std::string(); }, ab, StartupOutcome::Ready, kWhite},
      {"ColourJunk", 2, [] { return junk(4096, 5); }, ab, StartupOutcome::Ready, kWhite},
      {"ColourNulBytes", 2, [] { return std::string(16, '\0'); }, ab, StartupOutcome::Ready,
       kWhite},
      {"ColourPlusSignLfNoBlanks", 2, [] { return std::string("+65280\n"); }, ab,
       StartupOutcome::Ready, 65280},
      {"ColourAFolder", 2, nullptr, ab, StartupOutcome::Ready, kWhite},
  };
  return all;
}

class BadInputTest : public ::testing::TestWithParam<Damage> {
 protected:
  void SetUp() override {
    const Damage& damage = GetParam();
    lay(dir, Files{{goodStart(), enc("secret") + "\r\n", std::string(" 255 \r\n")}});
    const auto path = dir.file(kDataFiles[damage.file]);
    std::filesystem::remove(path);
    if (damage.bytes) {
      dir.write(kDataFiles[damage.file], damage.bytes());
    } else {
      std::filesystem::create_directory(path);
    }
    ++figures().inputs;
  }

  // Runs one command with its answers on a window as start-up left it; true
  // when it gave no warning.
  bool succeeds(testing::TestSession& test, const std::function<void(testing::TestSession&)>& run) {
    test.dialogs = testing::ScriptedDialogs();
    run(test);
    ++figures().inputCommands;
    return test.dialogs.warnings().empty();
  }

  testing::TempDataDir dir;
};

TEST_P(BadInputTest, EveryCommandSurvivesTheDamageLosingNothing) {
  const Damage& damage = GetParam();
  const Restart first = restart(dir, kStartingPassword);
  EXPECT_EQ(first.outcome, damage.outcome);
  EXPECT_EQ(first.colour, damage.colour);
  if (first.outcome == StartupOutcome::Ready) {
    for (const QString& name : damage.listed)
      EXPECT_TRUE(first.names.contains(name)) << name.toStdString();
  }

  // The real program ends when the gate refuses; the commands still must not
  // trip over the damage, so they run on the list the entry file gives.
  const QStringList before = first.outcome == StartupOutcome::Ready ? first.names : damage.listed;
  auto test = sessionListing(dir, before);
  testing::FakeWindow* window = &test->window;
  for (int i = 0; i < std::min<int>(window->nameCount(), 50); ++i) {
    window->selected = i;
    test->session.showPickedEntry();
    ++figures().inputCommands;
  }
  if (test->pick("a.com")) {
    EXPECT_EQ(window->boxText(Box::User), "ann");
    EXPECT_EQ(window->boxText(Box::Password), "pw-a");
  }
  if (test->pick("big.com")) {
    EXPECT_EQ(window->boxText(Box::Notes).size(), static_cast<qsizetype>(kBig));
  }
  window->selected = -1;

  const bool added = succeeds(*test, [](testing::TestSession& t) {
    for (const char* answer : {"new.com", "nu", "np"}) t.dialogs.answerInput(answer);
    t.session.newEntry(kNewEntryPrompt);
  });
  const bool saved = succeeds(*test,
                              [](testing::TestSession& t) {
                                t.window.show("a.com", "ann2", "pw-a2", "saved");
                                t.dialogs.answerMessage(kYes);
                                t.session.saveEntry();
                              }) &&
                     before.contains("a.com");
  const bool deleted = succeeds(*test, [](testing::TestSession& t) {
    t.window.show("b.com");
    t.dialogs.answerMessage(kYes);
    t.session.deleteEntry();
  });
  const bool passwordChanged = succeeds(*test, [](testing::TestSession& t) {
    t.dialogs.answerInput("n3w secret");
    t.session.changePassword();
  });
  const bool colourSaved =
      succeeds(*test, [](testing::TestSession& t) { t.session.chooseColour(65280); });

  // Every entry listed before is listed again, unless Delete removed it, and
  // what the commands reported done is done.
  const Restart last = restart(dir, passwordChanged ? "n3w secret" : kStartingPassword);
  if (damage.file == 1) {
    EXPECT_EQ(passwordChanged, damage.bytes != nullptr);  // only a folder stops it
  }
  if (!passwordChanged && first.outcome != StartupOutcome::Ready) return;
  ASSERT_EQ(last.outcome, StartupOutcome::Ready);
  for (const QString& name : before)
    EXPECT_TRUE(last.names.contains(name) || (deleted && name == "b.com")) << name.toStdString();
  EXPECT_EQ(last.names.contains("new.com"), added);
  EXPECT_EQ(last.names.contains("b.com"), before.contains("b.com") && !deleted);
  EXPECT_EQ(last.colour, colourSaved ? 65280 : damage.colour);
  if (saved) {
    auto again = sessionListing(dir, last.names);
    again->window.show("a.com");
    again->session.showPickedEntry();
    EXPECT_EQ(again->window.boxText(Box::User), "ann2");
  }
  // Damage confined to one file never stops the commands on the others.
  if (damage.file != 0) {
    EXPECT_TRUE(added && saved && deleted);
  }
  if (damage.file != 2) {
    EXPECT_TRUE(colourSaved);
  }
}

// A file of 100 MiB with no delimiter holds one record too large to be an
// entry: the list shows the entries before it and reports the rest as damage,
// in memory bounded by the largest record the reader keeps, never by the
// file. Run under a limit on the address space that reading the file whole
// would break, in a child process, so that a failed allocation ends only it.
TEST(OversizedRecordTest, IsDamageReadUnderAMemoryLimit) {
#ifdef OMBREL_SANITIZE
  GTEST_SKIP() << "the sanitizers reserve address space of their own";
#endif
  testing::TempDataDir dir;
  const std::size_t rest = std::size_t{100} << 20;
  dir.write("passwords.dat", goodStart() + std::string(rest, 'y'));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream status("/proc/self/status");
    std::string field;
    std::size_t kib = 0;
    while (status >> field && field != "VmSize:") status.ignore(1 << 10, '\n');
    status >> kib;
    const rlimit limit{(kib << 10) + (std::size_t{176} << 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    try {
      const ListedNames listed = readListedNames(dir.file("passwords.dat"));
      ::_exit(listed.names.size() == 2 && listed.status.damagedTail() == rest ? 0 : 1);
    } catch (...) {
      ::_exit(2);  // out of memory
    }
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reading died";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the reading ran out of memory";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the names or the damage were not found";
}

INSTANTIATE_TEST_SUITE_P(Damaged, BadInputTest, ::testing::ValuesIn(damages()),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace ombrel::reliability
