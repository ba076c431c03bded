// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "storage/Record.h"
#include "storage/Status.h"

namespace ombrel {

namespace storage {
class DataDirectory;
class RecordReader;
}  // namespace storage

// One entry as the user reads it: the four fields decoded, each unset or a
// text (possibly empty), as the file holds them.
struct Entry {
  std::optional<QString> name;
  std::optional<QString> user;
  std::optional<QString> password;
  std::optional<QString> notes;

  bool operator==(const Entry&) const = default;
};

// The text of a field, an unset field counting as the empty text.
inline QString textOf(const std::optional<QString>& field) { return field.value_or(QString()); }

Entry decodedEntry(const storage::Record& record);

// Every entry of an entry file in file order, duplicates included, and how
// reading it ended. On a failure `entries` are the whole ones before it.
struct StoredEntries {
  std::vector<Entry> entries;
  storage::Status status = storage::Status::success();
};

StoredEntries readEntries(storage::RecordReader& reader);

// The entries of the data directory's entry file; a missing entry file has
// none.
StoredEntries readEntries(const storage::DataDirectory& data);

}  // namespace ombrel
