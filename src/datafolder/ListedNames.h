// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "storage/Status.h"
#include "text/NameBlock.h"

namespace ombrel {

// The plain names of an entry file, and how reading it ended.
struct ListedNames {
  NameBlock names;
  // On a failure `names` are those of the whole records before it: before
  // the damage when the file ends inside a record (damagedTail() then counts
  // the bytes after them), or before a read error half-way.
  storage::Status status = storage::Status::success();
};

// The plain names of every whole record of an entry file, in file order, for
// the list. The file is read a block at a time and each name decoded as soon
// as its record is read, so the file is never held whole beside the names.
ListedNames readListedNames(const std::filesystem::path& entryFile);

}  // namespace ombrel
