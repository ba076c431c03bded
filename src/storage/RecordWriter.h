// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "storage/Record.h"

namespace ombrel::storage {

// Appends one record line to `out`: each text quoted, an unset field as
// nothing, single commas between the fields, CR LF at the end.
void appendRecord(std::string& out, const Record& record);
void appendRecord(std::string& out, const RecordView& record);

}  // namespace ombrel::storage
