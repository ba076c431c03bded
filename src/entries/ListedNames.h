// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>

#include "seams/NameBlock.h"

namespace ombrel {

// The plain names of every whole record of an entry file, in file order, for
// the list. A missing or unreadable file gives none; a record cut off at the
// end of the file (or by a read error) is left out and the names before it
// are kept. `damagedTail`, when given, gets the number of bytes after the
// last whole record when the file ends inside one, and 0 otherwise. The file
// is read a block at a time and each name decoded as soon as its record is
// read, so the file is never held whole beside the names.
NameBlock readListedNames(const std::filesystem::path& entryFile,
                          std::size_t* damagedTail = nullptr);

}  // namespace ombrel
