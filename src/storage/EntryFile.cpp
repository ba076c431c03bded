// SPDX-License-Identifier: MIT
#include "storage/EntryFile.h"

#include <algorithm>

#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::storage {
namespace {

void setDamaged(bool* damaged, bool value) {
  if (damaged) *damaged = value;
}

// Rewritten records are gathered into pieces of about this size before they
// are passed on, so that the writes are few and the memory small.
constexpr std::size_t kRewritePiece = 64 * 1024;

// The new file as it is gathered, passed on to `write` a piece at a time; a
// refused piece marks the copy stopped.
struct Pieces {
  Pieces(const std::function<bool(std::string_view)>& write, RewriteCount& count)
      : write(write), count(count) {
    text.reserve(kRewritePiece + 1024);
  }
  bool passOn() {
    if (!text.empty() && !write(text)) count.stopped = true;
    text.clear();
    return !count.stopped;
  }
  bool passOnWhenFull() { return text.size() < kRewritePiece || passOn(); }

  const std::function<bool(std::string_view)>& write;
  RewriteCount& count;
  std::string text;
};

}  // namespace

// The records are looked through as views into the reader's bytes; only what
// is kept (a found record, a name handed on, the new file) is copied.

bool nameMatches(const Record& record, std::string_view key) { return textOf(record.name) == key; }

namespace {

// An unset name has an empty view, so it too equals the empty key.
bool nameMatches(const RecordView& record, std::string_view key) {
  return record.name.text == key;
}

Field toField(const FieldView& view) {
  if (!view.set) return std::nullopt;
  return std::string(view.text);
}

}  // namespace

std::size_t forEachStoredName(RecordReader& reader,
                              const std::function<void(std::string_view)>& each, bool* damaged) {
  setDamaged(damaged, false);
  RecordView record;
  while (!reader.atEnd()) {
    const std::size_t wholeEnd = reader.position();
    // A record that fails has read on to the end of the data.
    if (!reader.next(record)) {
      setDamaged(damaged, true);
      return reader.position() - wholeEnd;
    }
    each(record.name.text);
  }
  return 0;
}

std::size_t damagedTail(RecordReader& reader) {
  return forEachStoredName(reader, [](std::string_view) {});
}

std::vector<std::string> readStoredNames(std::string_view data, bool* damaged) {
  std::vector<std::string> names;
  // One record per line, so the line count is a good guess at the record count.
  names.reserve(static_cast<std::size_t>(std::count(data.begin(), data.end(), kLF)) + 1);
  RecordReader reader(data);
  forEachStoredName(reader, [&names](std::string_view name) { names.emplace_back(name); },
                    damaged);
  return names;
}

std::optional<Record> findFirstRecord(RecordReader& reader, std::string_view key, bool* damaged) {
  setDamaged(damaged, false);
  RecordView record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      setDamaged(damaged, true);
      return std::nullopt;
    }
    if (nameMatches(record, key))
      return Record{toField(record.name), toField(record.user), toField(record.password),
                    toField(record.notes)};
  }
  return std::nullopt;
}

std::optional<Record> findFirstRecord(std::string_view data, std::string_view key, bool* damaged) {
  RecordReader reader(data);
  return findFirstRecord(reader, key, damaged);
}

std::string recordsNamed(RecordReader& reader, std::string_view key, std::size_t* tail,
                         std::optional<Record>* first) {
  if (tail) *tail = 0;
  if (first) first->reset();
  std::string found;
  RecordView record;
  while (!reader.atEnd()) {
    const std::size_t wholeEnd = reader.position();
    if (!reader.next(record)) {
      if (tail) *tail = reader.position() - wholeEnd;
      break;
    }
    if (!nameMatches(record, key)) continue;
    if (first && !*first)
      *first = Record{toField(record.name), toField(record.user), toField(record.password),
                      toField(record.notes)};
    appendRecord(found, record);
  }
  return found;
}

RewriteCount rewriteEntries(RecordReader& reader, std::string_view key,
                            const std::optional<Record>& replacement,
                            const std::function<bool(std::string_view)>& write) {
  RewriteCount count;
  Pieces pieces(write, count);
  std::string& piece = pieces.text;

  RecordView record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      count.damaged = true;
      return count;
    }
    if (!nameMatches(record, key)) {
      // A record in the writer's own form is copied as it stands, which is
      // what writing it field for field would give, only faster.
      if (record.asWritten) {
        piece += record.bytes;
      } else {
        appendRecord(piece, record);
      }
    } else {
      ++count.matched;
      appendRecord(count.matchedRecords, record);
      if (replacement) appendRecord(piece, *replacement);
    }
    if (!pieces.passOnWhenFull()) return count;
  }
  pieces.passOn();
  return count;
}

Rewrite rewriteEntries(std::string_view data, std::string_view key,
                       const std::optional<Record>& replacement) {
  Rewrite result;
  result.bytes.reserve(data.size() + data.size() / 8);
  RecordReader reader(data);
  const RewriteCount count =
      rewriteEntries(reader, key, replacement, [&result](std::string_view piece) {
        result.bytes += piece;
        return true;
      });
  result.matched = count.matched;
  result.damaged = count.damaged;
  return result;
}

namespace {

// Whether the records of `bytes` end exactly at `start`, and `record` alone
// follows them.
bool readsBackAt(std::string_view bytes, std::size_t start, const Record& record) {
  RecordReader check(bytes);
  Record read;
  while (check.position() < start)
    if (!check.next(read)) return false;
  return check.position() == start && check.next(read) && read == record && check.atEnd();
}

}  // namespace

RewriteCount appendEntry(RecordReader& reader, const Record& record,
                         const std::function<bool(std::string_view)>& write) {
  RewriteCount count;
  Pieces pieces(write, count);
  std::string& piece = pieces.text;

  // A record cut off at the end is left alone, as Save and Delete leave it;
  // the line end put after it could complete it into a record never written.
  std::string last;  // the bytes of the last record: the new line must follow them cleanly
  RecordView old;
  while (!reader.atEnd()) {
    if (!reader.next(old)) {
      count.damaged = true;
      return count;
    }
    last.assign(old.bytes);
    piece += old.bytes;
    if (!pieces.passOnWhenFull()) return count;
  }

  // Read the last record and the new one back as the next start will: the
  // old record must stop exactly at the new line, and the new line must give
  // back the record. No record reads differently for what follows its own
  // bytes but the last, so the records before it need no second reading.
  std::string tail = last;
  if (!tail.empty() && tail.back() != kLF && tail.back() != kCR) tail += kLineEnd;
  const std::size_t start = tail.size();
  appendRecord(tail, record);
  if (!readsBackAt(tail, start, record)) {
    count.damaged = true;
    return count;
  }
  piece.append(tail, last.size());
  pieces.passOn();
  return count;
}

std::optional<std::string> appendEntry(std::string_view data, const Record& record) {
  std::string out;
  out.reserve(data.size() + kLineEnd.size() + 64);
  RecordReader reader(data);
  const RewriteCount count = appendEntry(reader, record, [&out](std::string_view piece) {
    out += piece;
    return true;
  });
  if (count.damaged) return std::nullopt;
  return out;
}

}  // namespace ombrel::storage
