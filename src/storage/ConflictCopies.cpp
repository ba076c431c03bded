// SPDX-License-Identifier: MIT
#include "storage/ConflictCopies.h"

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <system_error>

#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::storage {
namespace {

// The data file whose conflict copies carry this base name.
std::optional<ConflictOf> baseOf(std::string_view base) {
  if (base == "passwords") return ConflictOf::Entries;
  if (base == "pw") return ConflictOf::Password;
  if (base == "pwclr") return ConflictOf::Colour;
  return std::nullopt;
}

// A record as read, with the form the writer gives it: two records are the
// same entry exactly when those forms are equal.
struct Written {
  Record record;
  std::string bytes;
};

// Reads every record of `data`; false when it ends inside a record.
bool writtenRecords(std::string_view data, std::vector<Written>& out) {
  MemorySource source(data);
  RecordReader reader(source);
  return reader
      .forEachRecord([&out](const RecordView& view) {
        Written record{recordOf(view), {}};
        appendRecord(record.bytes, view);
        out.push_back(std::move(record));
        return Status::success();
      })
      .ok();
}

}  // namespace

std::optional<ConflictOf> conflictCopyOf(std::string_view fileName) {
  // The patterns of the three tools around the base name; the date and
  // device parts are matched loosely, since the tools' versions differ in
  // them.
  static const std::regex syncthing(R"(^([a-z]+)\.sync-conflict-\d{8}-\d{6}-[A-Z0-9]+\.dat$)");
  static const std::regex copy(R"(^([a-z]+) \((?:.+'s )?conflicted copy[^)]*\)\.dat$)");
  std::cmatch match;
  const char* begin = fileName.data();
  const char* end = begin + fileName.size();
  if (std::regex_match(begin, end, match, syncthing) || std::regex_match(begin, end, match, copy))
    return baseOf(std::string_view(match[1].first, static_cast<std::size_t>(match[1].length())));
  return std::nullopt;
}

std::vector<std::string> conflictCopies(const std::filesystem::path& directory) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(directory, error)) {
    const std::string name = item.path().filename().string();
    if (conflictCopyOf(name) && item.is_regular_file(error)) found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::filesystem::path setAsideName(const std::filesystem::path& copy) {
  std::filesystem::path aside = copy;
  aside += kMergedSuffix;
  std::error_code error;
  for (int n = 2; std::filesystem::exists(aside, error); ++n) {
    aside = copy;
    aside += std::string(kMergedSuffix) + "-" + std::to_string(n);
  }
  return aside;
}

EntryMerge mergeEntries(std::string_view current, std::string_view copy) {
  EntryMerge merge;
  std::vector<Written> ours, theirs;
  if (!writtenRecords(current, ours)) merge.damaged = EntryMerge::Damaged::Current;
  if (!writtenRecords(copy, theirs)) merge.damaged = EntryMerge::Damaged::Copy;
  if (merge.damaged != EntryMerge::Damaged::Neither) return merge;

  std::set<std::string> held;
  std::map<std::string, std::size_t> versions;  // distinct records per name
  for (const Written& record : ours)
    if (held.insert(record.bytes).second) ++versions[textOf(record.record.name)];

  for (Written& record : theirs) {
    if (!held.insert(record.bytes).second) continue;
    const std::string& name = textOf(record.record.name);
    if (++versions[name] == 2) merge.twoVersions.push_back(name);
    merge.added.push_back(std::move(record.record));
  }
  return merge;
}

}  // namespace ombrel::storage
