// SPDX-License-Identifier: MIT
#include "audit/StoredEntries.h"

#include "datafolder/EntryRewrite.h"
#include "storage/RecordReader.h"
#include "text/StoredText.h"

namespace ombrel {
namespace {

std::optional<QString> decoded(const storage::FieldView& field) {
  if (!field.set) return std::nullopt;
  return fromStored(field.text);
}

std::optional<QString> decoded(const storage::Field& field) {
  if (!field) return std::nullopt;
  return decoded(storage::FieldView{true, *field});
}

}  // namespace

Entry decodedEntry(const storage::Record& record) {
  return {decoded(record.name), decoded(record.user), decoded(record.password),
          decoded(record.notes)};
}

StoredEntries readEntries(storage::RecordReader& reader) {
  StoredEntries read;
  read.status = reader.forEachRecord([&](const storage::RecordView& record) {
    read.entries.push_back({decoded(record.name), decoded(record.user), decoded(record.password),
                            decoded(record.notes)});
    return storage::Status::success();
  });
  return read;
}

StoredEntries readEntries(const storage::DataDirectory& data) {
  StoredEntries read;
  read.status = readEntryFile(data, [&](storage::RecordReader& reader) {
    read = readEntries(reader);
    return read.status;
  });
  return read;
}

}  // namespace ombrel
