// SPDX-License-Identifier: MIT
#include "audit/LeakList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "storage/FileDescriptor.h"

namespace ombrel {
namespace {

using storage::Status;

constexpr std::size_t kHexDigits = 40;
// A line is the hash, a colon, a count of at most 20 digits and CR LF; one
// longer than this is no line of such a list.
constexpr std::size_t kLongestLine = 128;
// A bisection ends by reading the lines left between its bounds in one go
// once they fit in this many bytes.
constexpr std::uint64_t kScanBytes = 4096;
constexpr std::size_t kPassBlock = std::size_t{256} << 10;

constexpr std::array<signed char, 256> kHexValue = [] {
  std::array<signed char, 256> value{};
  value.fill(-1);
  for (int i = 0; i < 10; ++i) value['0' + i] = static_cast<signed char>(i);
  for (int i = 0; i < 6; ++i) {
    value['a' + i] = static_cast<signed char>(10 + i);
    value['A' + i] = static_cast<signed char>(10 + i);
  }
  return value;
}();

int hexValue(char c) { return kHexValue[static_cast<unsigned char>(c)]; }

// One line of the list, its line end taken off: the hash and the count.
bool parseLine(std::string_view line, Sha1& hash, std::uint64_t& count) {
  if (line.size() < kHexDigits + 2 || line[kHexDigits] != ':') return false;
  for (std::size_t i = 0; i < hash.size(); ++i) {
    const int high = hexValue(line[2 * i]);
    const int low = hexValue(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    hash[i] = static_cast<unsigned char>(high << 4 | low);
  }
  count = 0;
  for (const char digit : line.substr(kHexDigits + 1)) {
    if (digit < '0' || digit > '9') return false;
    if (count > (UINT64_MAX - 9) / 10) return false;
    count = count * 10 + static_cast<unsigned>(digit - '0');
  }
  return true;
}

std::string_view withoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

Status badLine(std::uint64_t number) {
  return Status::readError("Line " + std::to_string(number) + " is not a SHA-1 hash and a count");
}

// A line met by a bisection: where it starts, where the next one starts, and
// what it holds; not `valid` when it is no hash and count.
struct Probe {
  std::uint64_t start = 0;
  std::uint64_t next = 0;
  Sha1 hash{};
  std::uint64_t count = 0;
  bool valid = false;
};

// The list file, read at offsets. Line ends after the last line are left
// out of its end, so that the last line is the last one with a hash.
class ListFile {
 public:
  Status open(const std::filesystem::path& path) {
    // Non-blocking, so that a pipe of that name cannot hang the open. A list
    // is searched at offsets, so it must be an ordinary file.
    file_ = storage::FileDescriptor::open(path, O_RDONLY | O_NONBLOCK);
    if (!file_.valid()) return Status::readError(errno);
    struct stat info {};
    if (::fstat(file_.get(), &info) != 0) return Status::readError(errno);
    if (S_ISDIR(info.st_mode)) return Status::readError(EISDIR);
    if (!S_ISREG(info.st_mode)) return Status::readError("Not an ordinary file");
    end_ = static_cast<std::uint64_t>(info.st_size);
    char tail[kLongestLine];
    while (end_ > 0) {
      const std::uint64_t from = end_ > sizeof tail ? end_ - sizeof tail : 0;
      std::size_t got = 0;
      if (Status status = readAt(from, tail, end_ - from, got); !status.ok()) return status;
      std::size_t kept = got;
      while (kept > 0 && (tail[kept - 1] == '\n' || tail[kept - 1] == '\r')) --kept;
      end_ = from + kept;
      if (kept > 0) break;
    }
    return Status::success();
  }

  int fd() const { return file_.get(); }
  std::uint64_t end() const { return end_; }

  Status readAt(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
      const ssize_t n = ::pread(file_.get(), into + got, size - got, off_t(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Status::readError(errno);
      if (n == 0) break;
      got += std::size_t(n);
    }
    return Status::success();
  }

  // The first line that starts at or after `offset` (< end()); `probe.start`
  // is end() when there is none.
  Status lineAtOrAfter(std::uint64_t offset, Probe& probe) {
    char bytes[2 * kLongestLine];
    // The byte before `offset` tells whether a line starts there.
    const std::uint64_t from = offset == 0 ? 0 : offset - 1;
    const std::size_t want = std::size_t(std::min<std::uint64_t>(sizeof bytes, end_ - from));
    std::size_t got = 0;
    if (Status status = readAt(from, bytes, want, got); !status.ok()) return status;
    const std::string_view read(bytes, got);
    std::size_t begin = 0;
    if (offset > 0) {
      const std::size_t lineEnd = read.find('\n');
      begin = lineEnd == std::string_view::npos ? got : lineEnd + 1;
    }
    probe = Probe{};
    probe.start = std::min(from + begin, end_);
    if (probe.start == end_) return Status::success();
    // A line longer than what was read is none of the list's: not valid.
    const std::size_t lineEnd = read.find('\n', begin);
    if (lineEnd == std::string_view::npos && from + got < end_) return Status::success();
    const std::size_t stop = lineEnd == std::string_view::npos ? got : lineEnd;
    probe.next = lineEnd == std::string_view::npos ? end_ : from + lineEnd + 1;
    probe.valid = parseLine(withoutCr(read.substr(begin, stop - begin)), probe.hash, probe.count);
    return Status::success();
  }

  // The start of the last line.
  Status lastLineStart(std::uint64_t& start) {
    char bytes[kLongestLine];
    const std::uint64_t from = end_ > sizeof bytes ? end_ - sizeof bytes : 0;
    std::size_t got = 0;
    if (Status status = readAt(from, bytes, std::size_t(end_ - from), got); !status.ok())
      return status;
    const std::size_t lineEnd = std::string_view(bytes, got).rfind('\n');
    // No line end in a whole block: a line too long to be one of the list,
    // which the reading of it will find.
    start = lineEnd == std::string_view::npos ? from : from + lineEnd + 1;
    return Status::success();
  }

 private:
  storage::FileDescriptor file_;
  std::uint64_t end_ = 0;
};

bool before(const Sha1& a, const Sha1& b) { return std::memcmp(a.data(), b.data(), a.size()) < 0; }

// Whether the first and last lines and `samples` lines evenly spaced between
// them are valid and in order.
Status looksSorted(ListFile& file, std::size_t samples, bool& sorted) {
  sorted = false;
  if (file.end() == 0) {
    sorted = true;
    return Status::success();
  }
  std::vector<std::uint64_t> offsets;
  for (std::size_t k = 0; k <= samples; ++k) offsets.push_back(file.end() / (samples + 1) * k);
  std::uint64_t last = 0;
  if (Status status = file.lastLineStart(last); !status.ok()) return status;
  offsets.push_back(last);
  std::optional<Sha1> previous;
  for (const std::uint64_t offset : offsets) {
    Probe probe;
    if (Status status = file.lineAtOrAfter(offset, probe); !status.ok()) return status;
    if (probe.start >= file.end()) continue;
    if (!probe.valid || (previous && before(probe.hash, *previous))) return Status::success();
    previous = probe.hash;
  }
  sorted = true;
  return Status::success();
}

enum class Lookup { Found, Absent, Disorder };

// Finds `target` by bisection over the bytes of a sorted list. Every line
// met must lie between the nearest lines met before it on either side; one
// that does not (or is no hash and count) is reported as Disorder, for the
// caller to read the list from start to end instead. Probes are kept in
// `probes` by offset: the first steps of every lookup read the same lines.
Status bisect(ListFile& file, const Sha1& target, std::unordered_map<std::uint64_t, Probe>& probes,
              Lookup& lookup, std::uint64_t& count) {
  std::uint64_t lo = 0;           // a line start: every line before it is below the target
  std::uint64_t hi = file.end();  // a line start or the end: from it on, above
  std::optional<Sha1> below, above;
  auto outOfOrder = [&](const Sha1& hash) {
    return (below && before(hash, *below)) || (above && before(*above, hash));
  };
  lookup = Lookup::Disorder;
  while (hi - lo > kScanBytes) {
    const std::uint64_t mid = lo + (hi - lo) / 2;
    auto known = probes.find(mid);
    if (known == probes.end()) {
      Probe probe;
      if (Status status = file.lineAtOrAfter(mid, probe); !status.ok()) return status;
      known = probes.emplace(mid, probe).first;
    }
    const Probe& probe = known->second;
    // Between `mid` and `hi` lies half of more than a scan's bytes: a line
    // start at least, unless a line is longer than any of the list.
    if (!probe.valid || probe.start >= hi || outOfOrder(probe.hash)) return Status::success();
    if (before(probe.hash, target)) {
      lo = probe.next;
      below = probe.hash;
    } else if (before(target, probe.hash)) {
      hi = probe.start;
      above = probe.hash;
    } else {
      lookup = Lookup::Found;
      count = probe.count;
      return Status::success();
    }
  }
  std::string bytes(std::size_t(hi - lo), '\0');
  std::size_t got = 0;
  if (Status status = file.readAt(lo, bytes.data(), bytes.size(), got); !status.ok()) return status;
  std::string_view rest(bytes.data(), got);
  while (!rest.empty()) {
    const std::size_t lineEnd = std::min(rest.find('\n'), rest.size());
    Sha1 hash;
    std::uint64_t lineCount = 0;
    if (!parseLine(withoutCr(rest.substr(0, lineEnd)), hash, lineCount) || outOfOrder(hash))
      return Status::success();
    if (hash == target) {
      lookup = Lookup::Found;
      count = lineCount;
      return Status::success();
    }
    below = hash;
    rest.remove_prefix(std::min(lineEnd + 1, rest.size()));
  }
  lookup = Lookup::Absent;
  return Status::success();
}

// Reads the whole list once, a block at a time. Most lines hold none of the
// hashes looked for, so a line is first judged by its first four digits
// against a table of those of the hashes (one bit each of 65,536) and only
// read whole when they match.
Status readWholeList(ListFile& file, const std::vector<Sha1>& sorted,
                     std::vector<std::optional<std::uint64_t>>& counts) {
  std::bitset<std::size_t{1} << 16> firstTwoBytes;
  for (const Sha1& hash : sorted) firstTwoBytes[std::size_t(hash[0]) << 8 | hash[1]] = true;
  ::posix_fadvise(file.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);

  std::string block(kPassBlock + kLongestLine, '\0');
  std::size_t held = 0;  // bytes of a line begun in the block before
  std::uint64_t offset = 0;
  std::uint64_t lineNumber = 0;
  // False for a line that is no hash and count.
  auto readLine = [&](std::string_view line) {
    ++lineNumber;
    line = withoutCr(line);
    if (line.empty()) return true;
    if (line.size() < kHexDigits + 2 || line[kHexDigits] != ':') return false;
    const int d0 = hexValue(line[0]), d1 = hexValue(line[1]);
    const int d2 = hexValue(line[2]), d3 = hexValue(line[3]);
    if ((d0 | d1 | d2 | d3) < 0) return false;
    if (!firstTwoBytes[std::size_t(d0 << 12 | d1 << 8 | d2 << 4 | d3)]) return true;
    Sha1 hash;
    std::uint64_t count = 0;
    if (!parseLine(line, hash, count)) return false;
    const auto found = std::lower_bound(sorted.begin(), sorted.end(), hash, before);
    if (found != sorted.end() && *found == hash) {
      auto& slot = counts[std::size_t(found - sorted.begin())];
      if (!slot) slot = count;
    }
    return true;
  };

  // Line ends after the last line are no lines, and lie beyond end().
  while (offset < file.end()) {
    std::size_t got = 0;
    const std::size_t want = std::size_t(std::min<std::uint64_t>(kPassBlock, file.end() - offset));
    if (Status status = file.readAt(offset, block.data() + held, want, got); !status.ok())
      return status;
    if (got == 0) break;  // the file was cut short while being read
    offset += got;
    const char* const stop = block.data() + held + got;
    const char* line = block.data();
    while (true) {
      // A line of the usual shape has its line end a few digits after the
      // colon: looking from there is quicker than from its start. Its first
      // four digits decide whether it is read whole.
      const char* count = line + kHexDigits + 1;
      const char* end = count;
      if (count < stop && count[-1] == ':') {
        while (end < stop && *end != '\n') ++end;
        if (end == stop) break;
        const int d0 = hexValue(line[0]), d1 = hexValue(line[1]);
        const int d2 = hexValue(line[2]), d3 = hexValue(line[3]);
        if ((d0 | d1 | d2 | d3) >= 0 &&
            !firstTwoBytes[std::size_t(d0 << 12 | d1 << 8 | d2 << 4 | d3)]) {
          ++lineNumber;
          line = end + 1;
          continue;
        }
      } else {
        end = static_cast<const char*>(std::memchr(line, '\n', std::size_t(stop - line)));
        if (!end) break;
      }
      if (!readLine(std::string_view(line, std::size_t(end - line)))) return badLine(lineNumber);
      line = end + 1;
    }
    held = std::size_t(stop - line);
    if (held > kLongestLine) return badLine(lineNumber + 1);
    std::memmove(block.data(), line, held);
  }
  if (held > 0 && !readLine(std::string_view(block.data(), held))) return badLine(lineNumber);
  return Status::success();
}

}  // namespace

LeakSearch searchLeakList(const std::filesystem::path& list, const std::vector<Sha1>& hashes,
                          const LeakSearchOptions& options) {
  LeakSearch search;
  std::vector<Sha1> sorted = hashes;
  std::sort(sorted.begin(), sorted.end(), before);
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<std::optional<std::uint64_t>> counts(sorted.size());

  ListFile file;
  search.status = file.open(list);
  bool isSorted = false;
  if (search.status.ok()) search.status = looksSorted(file, options.samples, isSorted);
  if (!search.status.ok()) return search;

  search.way = isSorted ? LeakSearch::Way::Bisection : LeakSearch::Way::WholeFile;
  if (isSorted) {
    std::unordered_map<std::uint64_t, Probe> probes;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      Lookup lookup = Lookup::Absent;
      std::uint64_t count = 0;
      search.status = bisect(file, sorted[i], probes, lookup, count);
      if (!search.status.ok()) return search;
      if (lookup == Lookup::Disorder) {
        search.way = LeakSearch::Way::WholeFileAfterDisorder;
        std::fill(counts.begin(), counts.end(), std::nullopt);
        break;
      }
      if (lookup == Lookup::Found) counts[i] = count;
    }
  }
  // Nothing to look for needs no reading of a list that may take minutes.
  if (search.way != LeakSearch::Way::Bisection && !sorted.empty()) {
    search.status = readWholeList(file, sorted, counts);
    if (!search.status.ok()) return search;
  }

  search.counts.reserve(hashes.size());
  for (const Sha1& hash : hashes) {
    const auto found = std::lower_bound(sorted.begin(), sorted.end(), hash, before);
    search.counts.push_back(counts[std::size_t(found - sorted.begin())]);
  }
  return search;
}

}  // namespace ombrel
