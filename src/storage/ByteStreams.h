// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "storage/Status.h"

namespace ombrel::storage {

// Where a reader takes its bytes from: an open file, or bytes in memory, so
// that the same reading code runs on both.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `into`; `got` is 0 at the end.
  virtual Status read(char* into, std::size_t size, std::size_t& got) = 0;
};

// Bytes held in memory, read from the first on. They must outlive the source.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  explicit MemorySource(const char* bytes) : bytes_(bytes) {}
  explicit MemorySource(std::string&&) = delete;  // would not outlive the statement

  Status read(char* into, std::size_t size, std::size_t& got) override {
    got = std::min(size, bytes_.size());
    if (got > 0) std::memcpy(into, bytes_.data(), got);
    bytes_.remove_prefix(got);
    return Status::success();
  }

 private:
  std::string_view bytes_;
};

// Where a copy of a file goes, piece by piece.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes every byte, or fails; after a failure the copy must stop.
  virtual Status write(std::string_view bytes) = 0;
};

}  // namespace ombrel::storage
