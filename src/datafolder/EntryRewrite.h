// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "storage/EntryFile.h"
#include "storage/Record.h"
#include "storage/Status.h"

namespace ombrel {

class WriteLock;
namespace storage {
class DataDirectory;
class RecordReader;
}  // namespace storage

// The ways the commands change the entry file. Each writes a new file beside
// the old one from what it reads, record by record, and puts it in place in
// one step, all under the data directory's write lock, so that another
// program cannot rewrite the file between our read and our rename and a crash
// leaves one whole version or the other. The new file is private to its
// owner, however the old one was shared. None of them tells the user
// anything: the caller reports a failure once the lock is released.

// One rewrite of the records of one name.
struct EntryRewrite {
  std::string key;                             // the stored name
  std::optional<storage::Record> replacement;  // none: the records are dropped
  // The records of the name as the user's answers saw them, as the record
  // writer writes them; none: whatever records there are.
  std::optional<std::string> expected;
};

struct RewriteResult {
  enum class Outcome {
    Written,
    ChangedElsewhere,  // the records were no longer those expected: nothing written
    Failed,
  };
  Outcome outcome = Outcome::Failed;
  storage::MatchedRecords found;                        // the records of the name the rewrite met
  storage::Status status = storage::Status::success();  // why it failed
};

// Replaces every record of the name, in place, or drops them all. A missing
// entry file fails.
RewriteResult rewriteEntries(const storage::DataDirectory& dataDirectory,
                             const EntryRewrite& rewrite);

// Adds `records` at the end, in order, after reading them back as the next
// start will: Damaged when the file ends in a way that would swallow them. A
// missing entry file is created.
storage::Status addEntries(const storage::DataDirectory& dataDirectory,
                           const std::vector<storage::Record>& records);
// The same under a write lock the caller already holds: for an import, which
// reads the entry file under it to decide what to add.
storage::Status addEntries(const WriteLock& held, const storage::DataDirectory& dataDirectory,
                           const std::vector<storage::Record>& records);

// Reads the entry file with `use`, which gets the reader at its first
// record; a missing entry file reads as an empty one. Returns the file's
// failure to open, or what `use` returned.
using EntryReading = std::function<storage::Status(storage::RecordReader&)>;
storage::Status readEntryFile(const storage::DataDirectory& dataDirectory, const EntryReading& use);

// The records of one name as they are now. The whole file is read, so that a
// file that ends inside an entry is found before anything is asked.
storage::NamedRecords storedRecords(const storage::DataDirectory& dataDirectory,
                                    const std::string& key);

// Success, or Damaged when the entry file ends inside an entry. A file that is
// missing or cannot be read is left for the command itself to meet.
storage::Status entryFileDamage(const storage::DataDirectory& dataDirectory);

}  // namespace ombrel
