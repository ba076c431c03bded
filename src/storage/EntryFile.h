// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ByteStreams.h"
#include "storage/Record.h"
#include "storage/Status.h"

namespace ombrel::storage {

class RecordReader;

// Operations on the records of an entry file, streaming: each reads its
// records from a RecordReader, which may fetch the file block by block, and a
// copy passes the new file on to a ByteSink piece by piece, so that neither
// version is ever held whole. Names are compared in their stored (encoded)
// form, exactly; an unset name equals the empty key. Each returns the first
// failure it meets: a read error, a write error of the sink, or Damaged when
// the data ends inside a record.

// The records of one name, and how reading the file for them ended.
struct NamedRecords {
  // Every record of the name in file order, as the record writer writes them:
  // two reads give equal texts exactly when the records are the same.
  std::string written;
  std::optional<Record> first;
  Status status = Status::success();
};

// Every record whose name equals `key`. The whole file is read, so that damage
// after the last match is found; on a failure, the records before it.
NamedRecords recordsNamed(RecordReader& reader, std::string_view key);

// The records a copy met under the name it replaces.
struct MatchedRecords {
  std::size_t count = 0;
  std::string written;  // as the record writer writes them
};

// Copies every record to `sink`; those whose name equals `key` are replaced
// by `replacement`, or dropped when it is empty, and noted in `matched`. Every
// other record is written back field for field as read, so unset and empty
// fields keep their form.
Status copyReplacingEntry(RecordReader& reader, std::string_view key,
                          const std::optional<Record>& replacement, ByteSink& sink,
                          MatchedRecords& matched);

// Copies every record to `sink` byte for byte as it stands and then adds
// `records` in order, the first on a line of its own even when the last line
// has no line end. Before anything new is passed on, the last record and the
// new ones are read back as the next start will read them: Damaged when the
// records already there would not end where the new ones begin (the data
// ends inside a record), or the new ones would not come back exactly.
Status copyAddingEntries(RecordReader& reader, const std::vector<Record>& records, ByteSink& sink);

}  // namespace ombrel::storage
