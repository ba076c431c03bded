// SPDX-License-Identifier: MIT
// The costs of the leak check and the health report, each beside its
// yardstick in one run, printed as one Markdown table:
//
//   ombrel_audit_bench WORK LIST_BYTES REPORT_ENTRIES [--ombrel PROGRAM] [--runs N]
//                      [--no-keepassxc]
//
// WORK receives (and keeps for the next run) a data directory of 1,000
// generated entries, leak lists of about LIST_BYTES holding half of their
// passwords (sorted by hash, and the same lines ordered by count), a KeePassXC
// database of the same entries, and a data directory of REPORT_ENTRIES
// entries. The leak check runs as the command does (leakCheck() of the data
// directory), and also as `PROGRAM --check-pwned LIST` in the data directory
// when --ombrel names a program that has that option. KeePassXC's
// `keepassxc-cli analyze --hibp` and `cat` run as processes. Every file is
// read once before it is timed, so that all of them come from the page cache.
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "EntryGenerator.h"
#include "audit/HealthReport.h"
#include "audit/LeakCheck.h"
#include "storage/DataDirectory.h"

namespace fs = std::filesystem;
using namespace ombrel;

namespace {

constexpr std::size_t kStoredEntries = 1000;
constexpr const char* kDatabasePassword = "bench";

double secondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(int runs, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(secondsOf(run));
  std::sort(times.begin(), times.end());
  return times[(times.size() - 1) / 2];
}

long peakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string quoted(const fs::path& path) {
  std::string text = "'";
  for (const char c : path.string()) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint64_t mix(std::uint64_t x) {  // splitmix64's finaliser
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// The lines of a generated leak list: n made-up hashes, evenly spread and
// increasing with their position p, and counts falling with their rank r in
// the order by count, p = (a r + b) mod n. Both orders of the same lines can
// so be written one line after another, with nothing held.
class MadeUpLeaks {
 public:
  explicit MadeUpLeaks(std::uint64_t n) : n_(n), slot_(UINT64_MAX / n) {
    a_ = n / 2 + 1;
    while (std::gcd(a_, n) != 1) ++a_;
    b_ = n / 3;
    // a's inverse modulo n, by the extended Euclidean algorithm.
    __int128 t = 0, newT = 1, r = __int128(n), newR = __int128(a_);
    while (newR != 0) {
      const __int128 q = r / newR;
      std::tie(t, newT) = std::make_tuple(newT, t - q * newT);
      std::tie(r, newR) = std::make_tuple(newR, r - q * newR);
    }
    aInverse_ = std::uint64_t(t < 0 ? t + __int128(n) : t);
  }
  std::uint64_t size() const { return n_; }
  Sha1 hashAt(std::uint64_t p) const {
    Sha1 hash;
    const std::uint64_t words[3] = {p * slot_ + mix(p) % slot_, mix(p ^ 0x5555), mix(p ^ 0xaaaa)};
    for (int i = 0; i < 20; ++i) hash[i] = std::uint8_t(words[i / 8] >> (56 - 8 * (i % 8)));
    return hash;
  }
  std::uint64_t countOfRank(std::uint64_t r) const {
    return std::max<std::uint64_t>(1, std::uint64_t(4e7 / std::pow(double(r + 1), 0.9)));
  }
  std::uint64_t positionOfRank(std::uint64_t r) const {
    return std::uint64_t((unsigned __int128)(a_)*r % n_ + b_) % n_;
  }
  std::uint64_t rankOfPosition(std::uint64_t p) const {
    return std::uint64_t((unsigned __int128)(aInverse_) * ((p + n_ - b_) % n_) % n_);
  }

 private:
  std::uint64_t n_, slot_, a_ = 1, b_ = 0, aInverse_ = 1;
};

class ListWriter {
 public:
  explicit ListWriter(const fs::path& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  void add(const Sha1& hash, std::uint64_t count) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const unsigned char byte : hash) {
      buffer_ += kHex[byte >> 4];
      buffer_ += kHex[byte & 15];
    }
    buffer_ += ':';
    buffer_ += std::to_string(count);
    buffer_ += "\r\n";
    if (buffer_.size() > (4 << 20)) flush();
  }
  void flush() {
    out_.write(buffer_.data(), std::streamsize(buffer_.size()));
    buffer_.clear();
  }
  ~ListWriter() { flush(); }

 private:
  std::ofstream out_;
  std::string buffer_;
};

bool before(const Sha1& a, const Sha1& b) { return a < b; }

// Writes the sorted and the count-ordered list, each holding the made-up
// lines and `stored` (with counts from 1,000 up) merged into their order.
void writeLists(std::uint64_t bytes, std::vector<Sha1> stored, const fs::path& sorted,
                const fs::path& byCount) {
  const MadeUpLeaks made(bytes / 45);
  std::sort(stored.begin(), stored.end(), before);
  stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
  std::vector<std::uint64_t> storedCounts;
  for (std::size_t i = 0; i < stored.size(); ++i) storedCounts.push_back(1000 + 37 * i);
  {
    ListWriter out(sorted);
    std::size_t next = 0;
    for (std::uint64_t p = 0; p < made.size(); ++p) {
      const Sha1 hash = made.hashAt(p);
      for (; next < stored.size() && before(stored[next], hash); ++next)
        out.add(stored[next], storedCounts[next]);
      out.add(hash, made.countOfRank(made.rankOfPosition(p)));
    }
    for (; next < stored.size(); ++next) out.add(stored[next], storedCounts[next]);
  }
  std::vector<std::size_t> byCountOrder(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) byCountOrder[i] = stored.size() - 1 - i;
  ListWriter out(byCount);
  std::size_t next = 0;
  for (std::uint64_t r = 0; r < made.size(); ++r) {
    const std::uint64_t count = made.countOfRank(r);
    for (; next < stored.size() && storedCounts[byCountOrder[next]] > count; ++next)
      out.add(stored[byCountOrder[next]], storedCounts[byCountOrder[next]]);
    out.add(made.hashAt(made.positionOfRank(r)), count);
  }
  for (; next < stored.size(); ++next)
    out.add(stored[byCountOrder[next]], storedCounts[byCountOrder[next]]);
}

// A KeePass XML file of the entries, as keepassxc-cli import reads it.
void writeKeePassXml(const std::vector<Entry>& entries, const fs::path& path) {
  QString xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeePassFile><Root><Group>"
      "<UUID>AAAAAAAAAAAAAAAAAAAAAA==</UUID><Name>Root</Name>\n";
  int index = 0;
  for (const Entry& entry : entries) {
    QByteArray uuid(16, '\0');
    const std::uint64_t id = mix(std::uint64_t(++index));
    std::memcpy(uuid.data(), &id, sizeof id);
    xml += "<Entry><UUID>" + QString::fromLatin1(uuid.toBase64()) + "</UUID>";
    const std::pair<const char*, QString> fields[] = {{"Title", textOf(entry.name)},
                                                      {"URL", textOf(entry.name)},
                                                      {"UserName", textOf(entry.user)},
                                                      {"Password", textOf(entry.password)},
                                                      {"Notes", textOf(entry.notes)}};
    for (const auto& [key, value] : fields)
      xml += QStringLiteral("<String><Key>%1</Key><Value>%2</Value></String>")
                 .arg(QLatin1String(key), value.toHtmlEscaped());
    xml += "</Entry>\n";
  }
  xml += "</Group></Root></KeePassFile>\n";
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::WriteOnly) || file.write(xml.toUtf8()) < 0) std::exit(1);
}

struct Row {
  std::string operation;
  double seconds = 0;
  std::string comparedWith;
  double ratio = -1;
  std::string goal;
  bool pass = true;
};

Row timed(std::string operation, double seconds) {
  return {std::move(operation), seconds, "", -1, "", true};
}

std::string shown(double seconds) {
  char text[32];
  if (seconds >= 1)
    std::snprintf(text, sizeof text, "%.2f s", seconds);
  else if (seconds >= 1e-3)
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
  else
    std::snprintf(text, sizeof text, "%.0f µs", seconds * 1e6);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: %s WORK LIST_BYTES REPORT_ENTRIES [--ombrel PROGRAM] [--runs N] "
                 "[--no-keepassxc]\n",
                 argv[0]);
    return 2;
  }
  const fs::path work = fs::absolute(argv[1]);
  const std::uint64_t listBytes = std::stoull(argv[2]);
  const std::size_t reportEntries = std::stoul(argv[3]);
  fs::path program;
  int runs = 5;
  bool keepassxc = true;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--no-keepassxc") {
      keepassxc = false;
    } else if (option == "--ombrel" && i + 1 < argc) {
      program = fs::absolute(argv[++i]);
    } else if (option == "--runs" && i + 1 < argc) {
      runs = std::stoi(argv[++i]);
    } else {
      std::fprintf(stderr, "unknown option: %s\n", option.c_str());
      return 2;
    }
  }
  fs::create_directories(work);

  // The stored passwords, every other one leaked.
  const fs::path stored = work / "stored";
  bench::prepareDataDirectory(stored, kStoredEntries);
  const storage::DataDirectory data(stored.string());
  const StoredEntries entries = readEntries(data);
  std::vector<Sha1> leaked;
  for (std::size_t i = 0; i < entries.entries.size(); i += 2)
    if (!textOf(entries.entries[i].password).isEmpty())
      leaked.push_back(passwordHash(*entries.entries[i].password));

  const std::string size = std::to_string(listBytes);
  const fs::path oneLine = work / "leaks-one-line.txt";
  const fs::path sorted = work / ("leaks-sorted-" + size + ".txt");
  const fs::path byCount = work / ("leaks-by-count-" + size + ".txt");
  if (!fs::exists(oneLine)) ListWriter(oneLine).add(Sha1{}, 1);
  if (!fs::exists(sorted) || !fs::exists(byCount)) {
    std::fprintf(stderr, "Generating leak lists of %s bytes ...\n", size.c_str());
    // Written under other names first, so that a run cut short leaves no
    // half list to be taken for whole by the next.
    const fs::path sortedPart = sorted.string() + ".part", byCountPart = byCount.string() + ".part";
    writeLists(listBytes, leaked, sortedPart, byCountPart);
    fs::rename(sortedPart, sorted);
    fs::rename(byCountPart, byCount);
  }
  for (const fs::path& list : {oneLine, sorted, byCount})
    shell("cat " + quoted(list) + " >/dev/null");

  std::vector<Row> rows;
  std::string notes;
  const auto listed = [&](const fs::path& list) {
    return leakCheck(data, list, QString::fromStdString(list.filename().string()));
  };
  // Both lists hold the same lines, so both readings find the same entries.
  const CommandText found = listed(sorted);
  QStringList foundByCount = listed(byCount).out;
  if (!found.result.foundSomething() ||
      foundByCount.mid(0, foundByCount.size() - 1) != found.out.mid(0, found.out.size() - 1)) {
    std::fprintf(stderr, "the two lists gave different answers\n");
    return 1;
  }
  const double oursOne = median(runs, [&] { listed(oneLine); });
  const long peakOneLine = peakKilobytes();
  const double oursSorted = median(runs, [&] { listed(sorted); });
  const double oursByCount = median(runs, [&] { listed(byCount); });
  notes += "Peak resident memory of this process after the one-line list: " +
           std::to_string(peakOneLine / 1024) +
           " MiB; after both large lists: " + std::to_string(peakKilobytes() / 1024) + " MiB.\n";
  const double cat = median(runs, [&] { shell("cat " + quoted(byCount) + " >/dev/null"); });
  char listSize[16];
  std::snprintf(listSize, sizeof listSize, listBytes >= 1000000000 ? "%.1f GB" : "%.0f MB",
                double(listBytes) / (listBytes >= 1000000000 ? 1e9 : 1e6));
  rows.push_back(timed("leakCheck(), one-line list", oursOne));
  rows.push_back(timed("leakCheck(), " + std::string(listSize) + " sorted", oursSorted));
  double oursAdded = oursSorted - oursOne;

  // The real command, once the command line has it.
  if (!program.empty() && shell(quoted(program) + " --help 2>&1 | grep -q -- --check-pwned") == 0) {
    const auto command = [&](const fs::path& list) {
      return "cd " + quoted(stored) + " && " + quoted(program) + " --check-pwned " + quoted(list) +
             " >/dev/null 2>&1";
    };
    const double one = median(runs, [&] { shell(command(oneLine)); });
    const double full = median(runs, [&] { shell(command(sorted)); });
    const double count = median(runs, [&] { shell(command(byCount)); });
    rows.push_back(timed("ombrel --check-pwned, one-line list", one));
    rows.push_back(timed("ombrel --check-pwned, " + std::string(listSize) + " sorted", full));
    rows.push_back({"ombrel --check-pwned, " + std::string(listSize) + " by count", count,
                    "cat of the list", count / cat, "≤ 3", count / cat <= 3});
    oursAdded = full - one;
  }

  // KeePassXC on the same passwords and the same lists.
  const fs::path home = work / "keepassxc-home";
  fs::create_directories(home);
  const fs::path xml = work / "stored.xml";
  const fs::path database = work / "stored.kdbx";
  const std::string env = "HOME=" + quoted(home) + " ";
  const std::string pass = std::string(kDatabasePassword);
  if (keepassxc && shell("command -v keepassxc-cli >/dev/null") == 0) {
    if (!fs::exists(database)) {
      writeKeePassXml(entries.entries, xml);
      if (shell("printf '%s\\n%s\\n' " + pass + " " + pass + " | " + env +
                "keepassxc-cli import -q -p -t 100 " + quoted(xml) + " " + quoted(database) +
                " >/dev/null") != 0)
        return 1;
    }
    const auto analyze = [&](const fs::path& list, const std::string& to) {
      return "echo " + pass + " | " + env + "keepassxc-cli analyze -q -H " + quoted(list) + " " +
             quoted(database) + " >" + to + " 2>&1";
    };
    const fs::path answer = work / "keepassxc-analyze.txt";
    shell(analyze(sorted, quoted(answer)));
    int theirs = 0;
    std::ifstream said(answer);
    for (std::string line; std::getline(said, line);)
      theirs += line.find("has been leaked") != std::string::npos;
    const int kpRuns = std::max(1, runs / 2);
    const double kpOne = median(kpRuns, [&] { shell(analyze(oneLine, "/dev/null")); });
    const double kpSorted = median(kpRuns, [&] { shell(analyze(sorted, "/dev/null")); });
    rows.push_back(timed("keepassxc-cli analyze --hibp, one-line list", kpOne));
    rows.push_back(
        timed("keepassxc-cli analyze --hibp, " + std::string(listSize) + " sorted", kpSorted));
    // The goal is set for a list of 1 GB; a smaller one only shows the way.
    const double ratio = (kpSorted - kpOne) / std::max(oursAdded, 1e-6);
    rows.push_back({"time the " + std::string(listSize) + " list adds: ours", oursAdded,
                    "what it adds to KeePassXC (" + shown(kpSorted - kpOne) + ")", ratio,
                    listBytes >= 1000000000 ? "≥ 100 times less" : "", ratio >= 100});
    notes += "Entries found leaked: Ombrel " + std::to_string(found.out.size() - 1) +
             ", KeePassXC " + std::to_string(theirs) + ".\n";
  }
  rows.push_back({"leakCheck(), " + std::string(listSize) + " by count", oursByCount,
                  "cat of the list (" + shown(cat) + ")", oursByCount / cat, "≤ 3",
                  oursByCount / cat <= 3});

  // The report against one parse and one estimate per distinct password.
  const fs::path many = work / ("report-" + std::to_string(reportEntries));
  bench::prepareDataDirectory(many, reportEntries);
  const storage::DataDirectory manyData(many.string());
  const int reportRuns = std::max(1, runs / 2);
  const double report = median(reportRuns, [&] { healthReport(manyData); });
  const double parse = median(reportRuns, [&] { readEntries(manyData); });
  QSet<QString> distinct;
  for (const Entry& entry : readEntries(manyData).entries)
    if (!textOf(entry.password).isEmpty()) distinct.insert(*entry.password);
  double sink = 0;
  const double estimates = median(reportRuns, [&] {
    for (const QString& password : distinct) sink += passwordBits(password);
  });
  rows.push_back({"healthReport(), " + std::to_string(reportEntries) + " entries", report,
                  "parse (" + shown(parse) + ") + estimates (" + shown(estimates) + ")",
                  report / (parse + estimates), "≤ 1.5", report / (parse + estimates) <= 1.5});

  std::printf("| operation | median | compared with | ratio | goal | result |\n");
  std::printf("|---|---:|---|---:|---|---|\n");
  for (const Row& row : rows) {
    char ratio[32] = "";
    if (row.ratio >= 0) std::snprintf(ratio, sizeof ratio, "%.2f", row.ratio);
    std::printf("| %s | %s | %s | %s | %s | %s |\n", row.operation.c_str(),
                shown(row.seconds).c_str(), row.comparedWith.c_str(), ratio, row.goal.c_str(),
                row.goal.empty() ? ""
                : row.pass       ? "PASS"
                                 : "MISS");
  }
  std::printf(
      "\n%sLists: %ju bytes sorted by hash, %ju by count; %zu stored passwords, %zu of "
      "them in the lists; medians of %d runs (KeePassXC and the report %d).\n",
      notes.c_str(), std::uintmax_t(fs::file_size(sorted)), std::uintmax_t(fs::file_size(byCount)),
      entries.entries.size(), leaked.size(), runs, std::max(1, runs / 2));
  return sink < 0 ? 1 : 0;
}
