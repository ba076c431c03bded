// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "storage/Status.h"

namespace ombrel {

// Finding password hashes in a list of leaked passwords as it is published
// for download: one "SHA1HEX:COUNT" line a password, hex digits in upper or
// lower case, CR LF or LF line ends. The list runs to tens of gigabytes and
// close to a billion lines, so a list sorted by hash (the usual edition) is
// searched by bisection over the file's bytes, a handful of small reads a
// password, and any other (the edition ordered by count) is read once from
// start to end. Memory stays the same whatever the size of the list.

using Sha1 = std::array<unsigned char, 20>;

struct LeakSearch {
  enum class Way {
    Bisection,               // the list looked sorted, and every lookup found it so
    WholeFile,               // the list is not sorted by hash
    WholeFileAfterDisorder,  // it looked sorted, but a lookup met lines out of order
  };
  Way way = Way::Bisection;
  // For each hash asked, in the order asked: the count of its line, or
  // nullopt when the list does not hold it.
  std::vector<std::optional<std::uint64_t>> counts;
  // A failure to read the list, or a line that is no hash and count.
  storage::Status status = storage::Status::success();
};

struct LeakSearchOptions {
  // Lines read between the first and the last to judge whether the list is
  // sorted. Each costs one small read; a list ordered any other way is
  // caught by the first few.
  std::size_t samples = 64;
};

LeakSearch searchLeakList(const std::filesystem::path& list, const std::vector<Sha1>& hashes,
                          const LeakSearchOptions& options = {});

}  // namespace ombrel
