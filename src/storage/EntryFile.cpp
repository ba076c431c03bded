// SPDX-License-Identifier: MIT
#include "storage/EntryFile.h"

#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::storage {
namespace {

// The records are looked through as views into the reader's bytes; only what
// is kept (a found record, the new file) is copied.

// An unset name has an empty view, so it too equals the empty key.
bool nameMatches(const RecordView& record, std::string_view key) { return record.name.text == key; }

// The new file as it is gathered, passed on to the sink in pieces of about
// kPiece bytes, so that the writes are few and the memory small.
class Pieces {
 public:
  static constexpr std::size_t kPiece = 64 * 1024;

  explicit Pieces(ByteSink& sink) : sink_(sink) { text_.reserve(kPiece + 1024); }

  std::string& text() { return text_; }

  Status passOn() {
    Status status = text_.empty() ? Status::success() : sink_.write(text_);
    text_.clear();
    return status;
  }
  Status passOnWhenFull() { return text_.size() < kPiece ? Status::success() : passOn(); }

 private:
  ByteSink& sink_;
  std::string text_;
};

// Whether the records of `bytes` end exactly at `start`, and `records` alone
// follow them, in order.
bool readsBackAt(std::string_view bytes, std::size_t start, const std::vector<Record>& records) {
  // Read in blocks, as the next start reads them, so that every record is
  // held to the reader's limit wherever it stands.
  MemorySource source(bytes);
  RecordReader check(source);
  std::size_t end = 0;    // of the records read so far
  std::size_t found = 0;  // new records read back
  bool exact = true;
  const Status status = check.forEachRecord([&](const RecordView& read) {
    if (check.position() > start) {
      exact = exact && found < records.size() && (found > 0 || end == start) &&
              recordOf(read) == records[found];
      ++found;
    }
    end = check.position();
    return Status::success();
  });
  return status.ok() && exact && found == records.size();
}

}  // namespace

NamedRecords recordsNamed(RecordReader& reader, std::string_view key) {
  NamedRecords found;
  found.status = reader.forEachRecord([&](const RecordView& record) {
    if (nameMatches(record, key)) {
      if (!found.first) found.first = recordOf(record);
      appendRecord(found.written, record);
    }
    return Status::success();
  });
  return found;
}

Status copyReplacingEntry(RecordReader& reader, std::string_view key,
                          const std::optional<Record>& replacement, ByteSink& sink,
                          MatchedRecords& matched) {
  matched = {};
  Pieces pieces(sink);
  std::string& piece = pieces.text();
  Status status = reader.forEachRecord([&](const RecordView& record) {
    if (!nameMatches(record, key)) {
      // A record in the writer's own form is copied as it stands, which is
      // what writing it field for field would give, only faster.
      if (record.asWritten) {
        piece += record.bytes;
      } else {
        appendRecord(piece, record);
      }
    } else {
      ++matched.count;
      appendRecord(matched.written, record);
      if (replacement) appendRecord(piece, *replacement);
    }
    return pieces.passOnWhenFull();
  });
  if (status.ok()) status = pieces.passOn();
  return status;
}

Status copyAddingEntries(RecordReader& reader, const std::vector<Record>& records, ByteSink& sink) {
  Pieces pieces(sink);
  std::string& piece = pieces.text();
  // A record cut off at the end is left alone, as Save and Delete leave it;
  // the line end put after it could complete it into a record never written.
  std::string last;  // the bytes of the last record: the new lines must follow them cleanly
  Status status = reader.forEachRecord([&](const RecordView& old) {
    last.assign(old.bytes);
    piece += old.bytes;
    return pieces.passOnWhenFull();
  });
  if (!status.ok()) return status;

  // Read the last record and the new ones back as the next start will: the
  // old record must stop exactly at the first new line, and the new lines
  // must give back the records. No record reads differently for what follows
  // its own bytes but the last, so the records before it need no second
  // reading.
  std::string tail = last;
  if (!tail.empty() && tail.back() != kLF && tail.back() != kCR) tail += kLineEnd;
  const std::size_t start = tail.size();
  for (const Record& record : records) appendRecord(tail, record);
  if (!readsBackAt(tail, start, records)) return Status::damaged();
  piece.append(tail, last.size());
  return pieces.passOn();
}

}  // namespace ombrel::storage
