// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ByteStreams.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"

namespace ombrel::testing {

// A sink that keeps what it is given.
class StringSink : public storage::ByteSink {
 public:
  storage::Status write(std::string_view bytes) override {
    this->bytes += bytes;
    ++writes;
    return storage::Status::success();
  }
  std::string bytes;
  int writes = 0;
};

// A sink that runs out of room after `room` bytes, as a full disk does: the
// write that does not fit fails, and what fitted of it is kept.
class FullSink : public storage::ByteSink {
 public:
  explicit FullSink(std::size_t room) : room_(room) {}
  storage::Status write(std::string_view bytes) override {
    ++writes;
    const std::size_t fits = std::min(bytes.size(), room_ - this->bytes.size());
    this->bytes.append(bytes.substr(0, fits));
    return fits == bytes.size() ? storage::Status::success() : storage::Status::writeError(ENOSPC);
  }
  std::string bytes;
  int writes = 0;

 private:
  std::size_t room_;
};

// Bytes in memory given out at most `block` at a time, failing with EIO once
// `readable` of them have been given, as a disk with a bad sector does.
class FailingSource : public storage::ByteSource {
 public:
  FailingSource(std::string_view bytes, std::size_t readable, std::size_t block = 7)
      : bytes_(bytes), readable_(readable), block_(block) {}
  storage::Status read(char* into, std::size_t size, std::size_t& got) override {
    got = 0;
    if (given_ >= readable_ && given_ < bytes_.size()) return storage::Status::readError(EIO);
    got = std::min({size, block_, readable_ - given_, bytes_.size() - given_});
    bytes_.copy(into, got, given_);
    given_ += got;
    return storage::Status::success();
  }

 private:
  std::string_view bytes_;
  std::size_t readable_;
  std::size_t block_;
  std::size_t given_ = 0;
};

// The streaming operations of the entry file on bytes held whole, so that a
// test reads as data in, data out.

inline std::string formatRecord(const storage::Record& record) {
  std::string out;
  storage::appendRecord(out, record);
  return out;
}

inline std::vector<std::string> storedNames(std::string_view data,
                                            storage::Status* status = nullptr) {
  std::vector<std::string> names;
  storage::MemorySource source(data);
  storage::RecordReader reader(source);
  const storage::Status read = reader.forEachRecord([&names](const storage::RecordView& record) {
    names.emplace_back(record.name.text);
    return storage::Status::success();
  });
  if (status) *status = read;
  return names;
}

// The first record named `key`, as Show finds it.
inline std::optional<storage::Record> firstNamed(std::string_view data, std::string_view key,
                                                 storage::Status* status = nullptr) {
  storage::MemorySource source(data);
  storage::RecordReader reader(source);
  storage::NamedRecords found = storage::recordsNamed(reader, key);
  if (status) *status = found.status;
  return found.first;
}

struct Rewrite {
  std::string bytes;
  storage::MatchedRecords matched;
  storage::Status status = storage::Status::success();
};

inline Rewrite replacingEntry(std::string_view data, std::string_view key,
                              const std::optional<storage::Record>& replacement) {
  storage::MemorySource source(data);
  storage::RecordReader reader(source);
  StringSink sink;
  Rewrite out;
  out.status = storage::copyReplacingEntry(reader, key, replacement, sink, out.matched);
  out.bytes = std::move(sink.bytes);
  return out;
}

// The new file New writes, or nothing when it refuses the data.
inline std::optional<std::string> addingEntries(std::string_view data,
                                                const std::vector<storage::Record>& records) {
  storage::MemorySource source(data);
  storage::RecordReader reader(source);
  StringSink sink;
  if (!storage::copyAddingEntries(reader, records, sink).ok()) return std::nullopt;
  return sink.bytes;
}

inline std::optional<std::string> addingEntry(std::string_view data,
                                              const storage::Record& record) {
  return addingEntries(data, {record});
}

}  // namespace ombrel::testing
