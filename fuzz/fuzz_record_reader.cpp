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

#include "EntryBytes.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

using namespace ombrel::storage;
using namespace ombrel::testing;

namespace {

// Names the broken property before aborting, so that a finding explains itself.
#define require(condition)                                       \
  do {                                                           \
    if (!(condition)) {                                          \
      std::fprintf(stderr, "property broken: %s\n", #condition); \
      std::abort();                                              \
    }                                                            \
  } while (false)

bool hasQuote(const Field& field) { return field && field->find('"') != std::string::npos; }
bool hasQuote(const Record& r) {
  return hasQuote(r.name) || hasQuote(r.user) || hasQuote(r.password) || hasQuote(r.notes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::vector<Record> records;
  MemorySource source(bytes);
  RecordReader reader(source);
  std::size_t before = 0;
  const Status read = reader.forEachRecord([&](const RecordView& record) {
    require(reader.position() > before && reader.position() <= size);
    before = reader.position();
    records.push_back(recordOf(record));
    return Status::success();
  });
  require(read.ok() || read.isDamaged());
  const bool cutOff = read.isDamaged();

  // Blocks of any size read the same records.
  MemorySource again(bytes);
  RecordReader inBlocks(again, 1 + size % 13);
  Status status = Status::success();
  const std::vector<std::string> names = storedNames(bytes, &status);
  require(status.isDamaged() == cutOff && names.size() == records.size());
  std::size_t index = 0;
  require(inBlocks
              .forEachRecord([&](const RecordView& record) {
                require(index < records.size() && recordOf(record) == records[index++]);
                return Status::success();
              })
              .kind() == read.kind());
  for (std::size_t i = 0; i < names.size(); ++i) require(names[i] == textOf(records[i].name));

  // A text read from the file is written back as it was read, unless it holds
  // a quote, which the writer cannot carry.
  bool quoteFree = true;
  for (const Record& r : records) quoteFree = quoteFree && !hasQuote(r);
  if (records.empty()) return 0;
  const std::string key = textOf(records.front().name);
  require(firstNamed(bytes, key) == records.front());

  const Rewrite dropped = replacingEntry(bytes, key, std::nullopt);
  require(dropped.status.isDamaged() == cutOff);
  if (quoteFree && !cutOff) {
    std::vector<std::string> kept;
    for (const Record& r : records)
      if (textOf(r.name) != key) kept.push_back(textOf(r.name));
    require(storedNames(dropped.bytes, &status) == kept && status.ok());
  }

  // New: when it accepts the data, the next start lists every old name and
  // the new one after them.
  const Record added{"\xca\xc9\xdb", std::nullopt, "\xd4", ""};
  if (auto appended = addingEntry(bytes, added)) {
    std::vector<std::string> expected = names;
    expected.push_back(*added.name);
    require(storedNames(*appended, &status) == expected && status.ok());
  }
  // ... and it never refuses a file as the program itself writes it.
  if (quoteFree) {
    std::string written;
    for (const Record& r : records) appendRecord(written, r);
    require(addingEntry(written, added).has_value());
  }
  return 0;
}
