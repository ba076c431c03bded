// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Record.h"

namespace ombrel::storage {

class RecordReader;

// Byte-level operations on the contents of an entry file. Names are compared
// in their stored (encoded) form, exactly; an unset name equals the empty key.
// Each comes in two forms: over a RecordReader, which may fetch the file block
// by block, and over bytes held whole.

bool nameMatches(const Record& record, std::string_view key);

// Calls `each` with the stored name of every whole record, in file order.
// `damaged` is set when the data ends inside a record; the names before it
// are still passed on. Returns what damagedTail() would.
std::size_t forEachStoredName(RecordReader& reader,
                              const std::function<void(std::string_view)>& each,
                              bool* damaged = nullptr);
std::vector<std::string> readStoredNames(std::string_view data, bool* damaged = nullptr);

// Reads the records left: the number of bytes after the last whole record
// when the data ends inside a record, 0 when every record is whole.
std::size_t damagedTail(RecordReader& reader);

// The first record whose name equals `key`, read from the start. Reading stops
// at that record. `damaged` is set when the data ends inside a record before a
// match is found.
std::optional<Record> findFirstRecord(RecordReader& reader, std::string_view key,
                                      bool* damaged = nullptr);
std::optional<Record> findFirstRecord(std::string_view data, std::string_view key,
                                      bool* damaged = nullptr);

// Every record whose name equals `key`, in file order, each as the record
// writer writes it: two calls give equal texts exactly when the records of
// that name are the same. `tail` receives what damagedTail() would; `first`
// the first of the records.
std::string recordsNamed(RecordReader& reader, std::string_view key, std::size_t* tail = nullptr,
                         std::optional<Record>* first = nullptr);

// `data` with `record` added at the end, on a line of its own even when the
// last line has no line end. Nothing when the records already there would not
// end where the new one begins (the data ends inside a record, or in a quote
// that would swallow the new line): the new record could not be read back.

struct RewriteCount {
  std::size_t matched = 0;     // records whose name equalled the key
  std::string matchedRecords;  // those records, as the record writer writes them
  bool damaged = false;        // the data ended inside a record: do not use the output
  bool stopped = false;        // `write` refused a piece and the copy stopped there
};

// Copies every record; those whose name equals `key` are replaced by
// `replacement`, or dropped when it is empty. Every other record is written back
// field for field as read, so unset and empty fields keep their form. The new
// file goes to `write` in pieces of some tens of kilobytes, so that it never
// needs to be held whole; `write` returns false to stop the copy.
RewriteCount rewriteEntries(RecordReader& reader, std::string_view key,
                            const std::optional<Record>& replacement,
                            const std::function<bool(std::string_view)>& write);

// Copies every record byte for byte as it stands and then adds `record`, on a
// line of its own even when the last line has no line end, passing the new
// file to `write` in pieces like rewriteEntries. `damaged` when the records
// already there would not end where the new one begins (the data ends inside
// a record, or in a quote that would swallow the new line): the new record
// could not be read back, and the output must not be used.
RewriteCount appendEntry(RecordReader& reader, const Record& record,
                         const std::function<bool(std::string_view)>& write);

struct Rewrite {
  std::string bytes;          // the new file
  std::size_t matched = 0;    // records whose name equalled the key
  bool damaged = false;       // the data ended inside a record: do not use `bytes`
};

// The same over bytes held whole, giving the new file whole.
Rewrite rewriteEntries(std::string_view data, std::string_view key,
                       const std::optional<Record>& replacement);

// `data` with `record` added at the end, as the streaming appendEntry above
// writes it; nothing when it reports the data damaged.
std::optional<std::string> appendEntry(std::string_view data, const Record& record);

}  // namespace ombrel::storage
