// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Record.h"

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
  std::vector<Record> added;             // records of the copy to append, in the copy's order
  std::vector<std::string> twoVersions;  // stored names now held by different records
  // Which file ends inside a record, if one does; nothing is added then.
  enum class Damaged { Neither, Current, Copy };
  Damaged damaged = Damaged::Neither;
};

// The records of `copy` that `current` does not already hold, as the record
// writer would write them, in the copy's order and each once. No record is
// ever dropped. `twoVersions` lists, in order of first appearance, the names
// that an added record gives a second, different record. When either side is
// damaged, nothing is added.
EntryMerge mergeEntries(std::string_view current, std::string_view copy);

}  // namespace ombrel::storage
