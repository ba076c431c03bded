// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "storage/Record.h"

namespace ombrel::storage {

// Appends one record line to `out`: each text quoted, an unset field as
// nothing, single commas between the fields, CR LF at the end.
void appendRecord(std::string& out, const Record& record);
void appendRecord(std::string& out, const RecordView& record);

// The bytes appendRecord() writes for `record`, counted without writing them.
std::size_t writtenSize(const Record& record);

// Whether every reader takes the record whole, wherever it stands in a file:
// a longer one is read as damage (see RecordReader::kMaxRecordBytes), so no
// writer may add it.
bool fitsOneRecord(const Record& record);

}  // namespace ombrel::storage
