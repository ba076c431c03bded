#include "storage/EntryFile.h"

#include <cstring>

#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::storage {
namespace {

void setDamaged(bool* damaged, bool value) {
  if (damaged) *damaged = value;
}

// One record per line, so the line count is a good guess at the record count.
std::size_t countLines(std::string_view data) {
  std::size_t lines = 0;
  const char* at = data.data();
  const char* const end = at + data.size();
  while (at < end) {
    const void* lf = std::memchr(at, kLF, end - at);
    if (!lf) break;
    ++lines;
    at = static_cast<const char*>(lf) + 1;
  }
  return lines;
}

}  // namespace

bool nameMatches(const Record& record, std::string_view key) { return textOf(record.name) == key; }

std::vector<std::string> readStoredNames(std::string_view data, bool* damaged) {
  setDamaged(damaged, false);
  std::vector<std::string> names;
  names.reserve(countLines(data) + 1);
  RecordReader reader(data);
  // One Record for the whole file: the fields that are not kept reuse their
  // buffers from record to record.
  Record record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      setDamaged(damaged, true);
      break;
    }
    if (record.name) {
      names.push_back(std::move(*record.name));
    } else {
      names.emplace_back();
    }
  }
  return names;
}

std::optional<Record> findFirstRecord(std::string_view data, std::string_view key, bool* damaged) {
  setDamaged(damaged, false);
  RecordReader reader(data);
  Record record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      setDamaged(damaged, true);
      return std::nullopt;
    }
    if (nameMatches(record, key)) return record;
  }
  return std::nullopt;
}

std::optional<std::string> appendEntry(std::string_view data, const Record& record) {
  // A record cut off at the end is left alone, as Save and Delete leave it;
  // the line end put after it could complete it into a record never written.
  Record read;
  for (RecordReader old(data); !old.atEnd();)
    if (!old.next(read)) return std::nullopt;

  std::string out;
  out.reserve(data.size() + kLineEnd.size() + 64);
  out.append(data);
  if (!data.empty() && data.back() != kLF && data.back() != kCR) out += kLineEnd;
  const std::size_t start = out.size();
  appendRecord(out, record);

  // Read it all back as the next start will: the old records must stop
  // exactly at the new line, and the new line must give back the record.
  RecordReader reader(out);
  while (reader.position() < start)
    if (!reader.next(read)) return std::nullopt;
  if (reader.position() != start || !reader.next(read) || read != record || !reader.atEnd())
    return std::nullopt;
  return out;
}

Rewrite rewriteEntries(std::string_view data, std::string_view key,
                       const std::optional<Record>& replacement) {
  Rewrite result;
  result.bytes.reserve(data.size() + data.size() / 8);
  RecordReader reader(data);
  Record record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      result.damaged = true;
      break;
    }
    if (!nameMatches(record, key)) {
      appendRecord(result.bytes, record);
      continue;
    }
    ++result.matched;
    if (replacement) appendRecord(result.bytes, *replacement);
  }
  return result;
}

}  // namespace ombrel::storage
