// SPDX-License-Identifier: MIT
// The entry-file reader on any bytes, and what the commands build on it: the
// names listed, the record found, the rewrite of Save and Delete, and the
// append of New.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

using namespace ombrel::storage;

namespace {

// Names the broken property before aborting, so that a finding explains itself.
#define require(condition)                                        \
  do {                                                            \
    if (!(condition)) {                                           \
      std::fprintf(stderr, "property broken: %s\n", #condition); \
      std::abort();                                               \
    }                                                             \
  } while (false)

bool hasQuote(const Field& field) { return field && field->find('"') != std::string::npos; }
bool hasQuote(const Record& r) {
  return hasQuote(r.name) || hasQuote(r.user) || hasQuote(r.password) || hasQuote(r.notes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::vector<Record> records;
  bool cutOff = false;
  RecordReader reader(bytes);
  Record record;
  while (!reader.atEnd()) {
    const std::size_t before = reader.position();
    if (!reader.next(record)) {
      cutOff = true;
      break;
    }
    require(reader.position() > before && reader.position() <= size);
    records.push_back(record);
  }

  bool damaged = false;
  const std::vector<std::string> names = readStoredNames(bytes, &damaged);
  require(damaged == cutOff && names.size() == records.size());
  for (std::size_t i = 0; i < names.size(); ++i) require(names[i] == textOf(records[i].name));

  // A text read from the file is written back as it was read, unless it holds
  // a quote, which the writer cannot carry.
  bool quoteFree = true;
  for (const Record& r : records) quoteFree = quoteFree && !hasQuote(r);
  if (records.empty()) return 0;
  const std::string key = textOf(records.front().name);
  require(findFirstRecord(bytes, key) == records.front());

  const Rewrite dropped = rewriteEntries(bytes, key, std::nullopt);
  require(dropped.damaged == cutOff);
  if (quoteFree && !cutOff) {
    std::vector<std::string> kept;
    for (const Record& r : records)
      if (textOf(r.name) != key) kept.push_back(textOf(r.name));
    bool again = false;
    require(readStoredNames(dropped.bytes, &again) == kept && !again);
  }

  // New: when it accepts the data, the next start lists every old name and
  // the new one after them.
  const Record added{"\xca\xc9\xdb", std::nullopt, "\xd4", ""};
  if (auto appended = appendEntry(bytes, added)) {
    std::vector<std::string> expected = names;
    expected.push_back(*added.name);
    bool again = false;
    require(readStoredNames(*appended, &again) == expected && !again);
  }
  // ... and it never refuses a file as the program itself writes it.
  if (quoteFree) {
    std::string written;
    for (const Record& r : records) appendRecord(written, r);
    require(appendEntry(written, added).has_value());
  }
  return 0;
}
