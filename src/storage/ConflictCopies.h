// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel::storage {

// The data file that a sync tool's conflict copy stands beside. When a synced
// file changes on two machines while they cannot reach each other, the tool
// keeps both versions, the second under a name of its own:
//   Syncthing  passwords.sync-conflict-20260102-030405-ABCDEFG.dat
//   Nextcloud  passwords (conflicted copy 2026-01-02 030405).dat
//   Dropbox    passwords (Ann's conflicted copy 2026-01-02).dat
enum class ConflictOf { Entries, Password, Colour };

std::optional<ConflictOf> conflictCopyOf(std::string_view fileName);

// The names of the conflict copies lying in `directory`, sorted.
std::vector<std::string> conflictCopies(const std::filesystem::path& directory);

// What a conflict copy is renamed to once it has been dealt with: it is set
// aside, never deleted.
inline constexpr std::string_view kMergedSuffix = ".merged";

// A free name for setting `copy` aside: the name with kMergedSuffix, or with
// a number after it when that is taken.
std::filesystem::path setAsideName(const std::filesystem::path& copy);

struct EntryMerge {
  std::string bytes;                     // the merged entry file
  std::size_t added = 0;                 // records of the copy appended
  std::vector<std::string> twoVersions;  // stored names now held by different records
  bool currentDamaged = false;           // the entry file ends inside a record
  bool copyDamaged = false;              // the copy ends inside a record
};

// `current` with every record of `copy` that it does not already hold, byte
// for byte as the record writer writes it, appended in the copy's order. No
// record is ever dropped. `twoVersions` lists, in order of first appearance,
// the names that an appended record gives a second, different record. When
// either side is damaged, `bytes` must not be used.
EntryMerge mergeEntries(std::string_view current, std::string_view copy);

}  // namespace ombrel::storage
