// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

#include "storage/Status.h"

namespace ombrel {

struct CsvFormat;
namespace storage {
class RecordReader;
}

// Appends the CSV text of every record `entryFile` reads, in file order, to
// `csv`, and counts them in `entries`. The name goes unchanged into the title
// column and as the URL Open Site makes of it into the address column (empty
// for an empty or blank name); then the user name, the password and the
// notes with CR LF written as LF. UTF-8 without a byte-order mark, every field
// quoted with doubled quotes, the header included, every line ending in LF:
// as KeePassXC writes its own export. Returns the entry file's failure, if
// any: the text is then incomplete and must not be used.
storage::Status exportCsv(storage::RecordReader& entryFile, const CsvFormat& format,
                          std::string& csv, std::size_t& entries);

}  // namespace ombrel
