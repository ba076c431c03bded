// SPDX-License-Identifier: MIT
#include "EntryGenerator.h"

#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "password/PasswordGate.h"
#include "storage/Record.h"
#include "storage/RecordWriter.h"
#include "storage/ShiftCodec.h"

namespace ombrel::bench {
namespace {

// splitmix64: tiny, fast, and the same sequence on every platform and
// standard library (std::uniform_int_distribution is not).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 <= result < bound
  std::size_t below(std::size_t bound) {
    return static_cast<std::size_t>((static_cast<unsigned __int128>(next()) * bound) >> 64);
  }
  bool percent(unsigned chance) { return below(100) < chance; }
  template <std::size_t N>
  std::string_view pick(const std::array<std::string_view, N>& from) {
    return from[below(N)];
  }

 private:
  std::uint64_t state_;
};

constexpr std::array<std::string_view, 96> kWords = {
    "blue",   "river",  "cloud",  "north",   "stone",  "maple",   "pixel",  "harbor", "bank",
    "mail",   "shop",   "travel", "garden",  "forum",  "news",    "photo",  "music",  "green",
    "silver", "falcon", "open",   "smart",   "home",   "city",    "media",  "data",   "sunny",
    "secure", "market", "trade",  "school",  "health", "energy",  "sport",  "games",  "books",
    "coffee", "pizza",  "auto",   "bike",    "insure", "credit",  "union",  "post",   "tele",
    "net",    "web",    "star",   "light",   "ocean",  "forest",  "alpine", "eagle",  "tiger",
    "lion",   "wolf",   "fox",    "bear",    "rapid",  "swift",   "bright", "clear",  "first",
    "prime",  "global", "local",  "united",  "royal",  "central", "west",   "east",   "south",
    "tech",   "soft",   "logic",  "code",    "dev",    "labs",    "works",  "hub",    "zone",
    "point",  "line",   "link",   "gate",    "port",   "base",    "box",    "store",  "deals",
    "club",   "team",   "family", "friends", "chat",   "social"};

constexpr std::array<std::string_view, 12> kTopLevel = {"com",   "com", "com", "org",  "net", "de",
                                                        "co.uk", "io",  "fr",  "info", "edu", "nl"};

constexpr std::array<std::string_view, 8> kSubdomains = {"mail",   "login",  "accounts", "my",
                                                         "secure", "portal", "app",      "online"};

constexpr std::array<std::string_view, 8> kPaths = {"login", "signin", "account",   "user/login",
                                                    "auth",  "home",   "dashboard", "members"};

constexpr std::array<std::string_view, 24> kFirstNames = {
    "anna",  "ben",  "carla", "david", "emma",   "felix", "grace",  "henry",
    "ines",  "jack", "karin", "liam",  "maria",  "noah",  "olivia", "paul",
    "quinn", "rosa", "sam",   "tara",  "ulrich", "vera",  "will",   "zoe"};

constexpr std::array<std::string_view, 16> kLastNames = {
    "smith", "garcia", "muller", "rossi",   "dubois", "jansen", "novak", "kowalski",
    "brown", "lopez",  "weber",  "bianchi", "martin", "visser", "horak", "nowak"};

constexpr std::array<std::string_view, 6> kMailHosts = {"example.com",       "mail.example.org",
                                                        "example.net",       "post.example",
                                                        "inbox.example.com", "example.de"};

constexpr std::array<std::string_view, 40> kNoteWords = {
    "security", "question", "first", "pet",     "name",     "was",     "pin",     "is",
    "card",     "ends",     "with",  "account", "number",   "support", "phone",   "call",
    "before",   "renewal",  "date",  "changed", "password", "last",    "month",   "old",
    "login",    "used",     "for",   "work",    "shared",   "with",    "family",  "recovery",
    "code",     "backup",   "email", "expires", "yearly",   "plan",    "billing", "note"};

std::string capitalised(std::string_view word) {
  std::string out(word);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

std::string webAddress(Random& random) {
  const std::string_view first = random.pick(kWords);
  const std::string_view second = random.pick(kWords);
  const std::string_view top = random.pick(kTopLevel);
  // A number on part of the names, as real sites and users' own labels have.
  const std::string number = random.percent(40) ? std::to_string(random.below(1000)) : "";
  std::string name;
  switch (random.below(20)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
      name.append("www.").append(first).append(second).append(number).append(".").append(top);
      break;
    case 7:
    case 8:
    case 9:
      name.append(first).append("-").append(second).append(number).append(".").append(top);
      break;
    case 10:
    case 11:
    case 12:
      name.append("https://")
          .append(random.pick(kSubdomains))
          .append(".")
          .append(first)
          .append(second)
          .append(number)
          .append(".")
          .append(top)
          .append("/")
          .append(random.pick(kPaths));
      break;
    case 13:
    case 14:
      name.append("http://www.").append(first).append(number).append(".").append(top);
      break;
    case 15:
    case 16:
      // Typed with capitals, as users do; the list sorts without regard to case.
      name.append(random.percent(50) ? "WWW." : "Www.")
          .append(capitalised(first))
          .append(capitalised(second))
          .append(number)
          .append(".")
          .append(top);
      break;
    case 17:
      name.append(capitalised(first)).append(" ").append(capitalised(second)).append(number);
      break;
    default:
      name.append(first).append(second).append(number).append(".").append(top);
      break;
  }
  return name;
}

std::string userName(Random& random) {
  const std::string_view first = random.pick(kFirstNames);
  const std::string_view last = random.pick(kLastNames);
  std::string user;
  switch (random.below(4)) {
    case 0:
      user.append(first).append(".").append(last).append("@").append(random.pick(kMailHosts));
      break;
    case 1:
      user.append(1, first[0]).append(last).append(std::to_string(random.below(100)));
      break;
    case 2:
      user.append(first).append("_").append(last.substr(0, 1));
      break;
    default:
      user.append(capitalised(first)).append(capitalised(last));
      break;
  }
  return user;
}

// 16 printable characters, quotes, commas and blanks among them.
std::string password(Random& random) {
  std::string text(16, ' ');
  for (char& c : text) c = static_cast<char>(' ' + random.below(95));
  return text;
}

std::string notes(Random& random) {
  std::string text;
  const std::size_t lines = random.percent(40) ? 2 + random.below(3) : 1;
  for (std::size_t line = 0; line < lines; ++line) {
    if (line > 0) text += "\r\n";
    const std::size_t words = 2 + random.below(8);
    for (std::size_t w = 0; w < words; ++w) {
      if (w > 0) text += ' ';
      text += random.pick(kNoteWords);
    }
    if (random.percent(20)) text.append(": ").append(std::to_string(random.below(100000)));
  }
  return text;
}

std::string encoded(std::string_view plain) { return storage::shiftEncode(plain).text; }

// A name no earlier record has: the generated one, or it with a counter.
std::string uniqueName(Random& random, const std::vector<std::string>& earlier) {
  std::string base = encoded(webAddress(random));
  std::string name = base;
  for (unsigned n = 2;; ++n) {
    bool taken = false;
    for (const std::string& other : earlier) {
      if (other == name) {
        taken = true;
        break;
      }
    }
    if (!taken) return name;
    std::string suffix = std::to_string(n);
    suffix.insert(suffix.begin(), '-');
    name = base + encoded(suffix);
  }
}

// Raised whenever a change to the generator changes what it writes, so that
// data directories made by an older one are made again.
constexpr int kGeneratorVersion = 2;

std::string stampText(std::size_t count, std::uint64_t seed, std::uintmax_t bytes) {
  std::ostringstream out;
  out << "generator=" << kGeneratorVersion << " entries=" << count << " seed=" << seed
      << " bytes=" << bytes << "\n";
  return out.str();
}

std::string readSmallFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

GeneratedFile generateEntries(std::size_t count, std::uint64_t seed) {
  Random random(seed);
  GeneratedFile file;
  file.bytes.reserve(count * 96);
  std::vector<std::string> names;
  names.reserve(count);
  storage::Record record;
  for (std::size_t i = 0; i < count; ++i) {
    const bool last = i + 1 == count;
    if (last) {
      record.name = uniqueName(random, names);
    } else if (!names.empty() && random.percent(2)) {
      record.name = names[random.below(names.size())];
      ++file.duplicateNames;
    } else {
      record.name = encoded(webAddress(random));
    }
    names.push_back(*record.name);

    // New stores an empty answer as an unset field.
    record.user.reset();
    if (random.percent(96))
      record.user = encoded(userName(random));
    else
      ++file.unsetUserNames;
    record.password.reset();
    if (random.percent(97))
      record.password = encoded(password(random));
    else
      ++file.unsetPasswords;

    // New writes empty notes as ""; Save writes an empty box as nothing.
    const std::size_t kind = random.below(100);
    if (kind < 45) {
      record.notes = std::string();
      ++file.emptyNotes;
    } else if (kind < 60) {
      record.notes.reset();
      ++file.unsetNotes;
    } else {
      std::string text = notes(random);
      if (text.find('\n') != std::string::npos) ++file.multiLineNotes;
      record.notes = encoded(text);
    }
    storage::appendRecord(file.bytes, record);
  }
  file.records = count;
  return file;
}

bool prepareDataDirectory(const std::filesystem::path& directory, std::size_t count,
                          std::uint64_t seed) {
  const auto entries = directory / "passwords.dat";
  const auto stamp = directory / "generated.txt";
  std::error_code error;
  const auto size = std::filesystem::file_size(entries, error);
  if (!error && std::filesystem::exists(directory / "pw.dat") &&
      readSmallFile(stamp) == stampText(count, seed, size))
    return false;

  std::filesystem::create_directories(directory);
  const GeneratedFile file = generateEntries(count, seed);
  writeFile(entries, file.bytes);
  // The no-password marker, as a fresh installation brings it.
  writeFile(directory / "pw.dat", std::string(kNoPasswordMarker) + "\r\n");
  writeFile(stamp, stampText(count, seed, file.bytes.size()));
  return true;
}

}  // namespace ombrel::bench
