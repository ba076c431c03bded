// SPDX-License-Identifier: MIT
#include "datafolder/EntryRewrite.h"

#include <functional>

#include "datafolder/WriteLock.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/RecordReader.h"

namespace ombrel {
namespace {

enum class IfMissing { Fail, ReadAsEmpty };

// Opens the entry file for `use`. A missing one reads as empty where the
// command may create it (an import, New) or has nothing to say of it (an
// export).
storage::Status withEntryFile(const storage::DataDirectory& data, IfMissing ifMissing,
                              const EntryReading& use) {
  storage::InputFile file;
  storage::Status status = file.open(data.file(storage::kEntryFile));
  if (ifMissing == IfMissing::ReadAsEmpty && status.isMissing()) {
    storage::MemorySource nothing{std::string_view()};
    storage::RecordReader reader(nothing);
    return use(reader);
  }
  if (!status.ok()) return status;
  storage::RecordReader reader(file);
  return use(reader);
}

using EntryCopy = std::function<storage::Status(storage::RecordReader&, storage::ByteSink&)>;

// Puts in place of the entry file what `copy` makes of it while reading it,
// under the write lock `held`. `keep`, when given, is asked once the copy is
// done, before the new file takes the old one's place; false leaves
// everything as it was.
storage::Status replaceEntryFile(const WriteLock& held, const storage::DataDirectory& data,
                                 IfMissing ifMissing, const EntryCopy& copy,
                                 const std::function<bool()>& keep = {}) {
  if (!held.status().ok()) return held.status();
  storage::AtomicFile newFile(data.file(storage::kEntryFile), data.file(storage::kTempEntryFile),
                              storage::Permissions::OwnerOnly);
  storage::Status status = withEntryFile(data, ifMissing, [&](storage::RecordReader& reader) {
    const storage::Status opened = newFile.open();
    return opened.ok() ? copy(reader, newFile) : opened;
  });
  if (status.ok() && keep && !keep()) return status;  // the temp goes with newFile
  if (status.ok()) status = newFile.commit();
  return status;
}

}  // namespace

RewriteResult rewriteEntries(const storage::DataDirectory& data, const EntryRewrite& rewrite) {
  RewriteResult result;
  bool changed = false;
  result.status = replaceEntryFile(
      WriteLock::take(data), data, IfMissing::Fail,
      [&](storage::RecordReader& reader, storage::ByteSink& sink) {
        return storage::copyReplacingEntry(reader, rewrite.key, rewrite.replacement, sink,
                                           result.found);
      },
      [&] {
        changed = rewrite.expected && result.found.written != *rewrite.expected;
        return !changed;
      });
  using Outcome = RewriteResult::Outcome;
  result.outcome = !result.status.ok() ? Outcome::Failed
                   : changed           ? Outcome::ChangedElsewhere
                                       : Outcome::Written;
  return result;
}

storage::Status addEntries(const storage::DataDirectory& data,
                           const std::vector<storage::Record>& records) {
  return addEntries(WriteLock::take(data), data, records);
}

storage::Status addEntries(const WriteLock& held, const storage::DataDirectory& data,
                           const std::vector<storage::Record>& records) {
  // The whole file is replaced rather than appended to: an append that stops
  // half-way (a full disk, a crash) would leave half a record, and every
  // entry added after it would be read as part of it.
  return replaceEntryFile(held, data, IfMissing::ReadAsEmpty,
                          [&](storage::RecordReader& reader, storage::ByteSink& sink) {
                            return storage::copyAddingEntries(reader, records, sink);
                          });
}

storage::Status readEntryFile(const storage::DataDirectory& data, const EntryReading& use) {
  return withEntryFile(data, IfMissing::ReadAsEmpty, use);
}

storage::NamedRecords storedRecords(const storage::DataDirectory& data, const std::string& key) {
  storage::InputFile file;
  if (storage::Status status = file.open(data.file(storage::kEntryFile)); !status.ok())
    return {{}, std::nullopt, status};
  storage::RecordReader reader(file);
  return storage::recordsNamed(reader, key);
}

storage::Status entryFileDamage(const storage::DataDirectory& data) {
  storage::InputFile file;
  if (!file.open(data.file(storage::kEntryFile)).ok()) return storage::Status::success();
  storage::RecordReader reader(file);
  const storage::Status status =
      reader.forEachRecord([](const storage::RecordView&) { return storage::Status::success(); });
  return status.isDamaged() ? status : storage::Status::success();
}

}  // namespace ombrel
