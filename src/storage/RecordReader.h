// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "storage/ByteStreams.h"
#include "storage/Record.h"

namespace ombrel::storage {

// Reads entry records from the bytes of a file.
//
// Each field: blanks are skipped; a field that starts with a quote is the text
// up to the next quote, and the comma or line end after it is consumed;
// otherwise it is the text up to the next comma or line end, trimmed of blanks,
// and unset when that text is empty. A line end closes a field just as a comma
// does, so four fields are taken whatever lines they stand on.
//
// A quoted field still open at the end of the data is a record cut off, like
// one that stops short of its fourth field: taken as whole, its open quote
// would swallow whatever is ever appended after it.
//
// The bytes come from a ByteSource a block at a time, so that memory stays at
// one block (or the longest record) whatever the size of the file. A record
// longer than kMaxRecordBytes is no entry any writer made: the data is taken
// as cut off there, rather than held whole.
class RecordReader {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  static constexpr std::size_t kMaxRecordBytes = 64 * 1024 * 1024;

  explicit RecordReader(ByteSource& source, std::size_t blockSize = kBlockSize);

  // Passes every record from the current position on to `each`, in file
  // order. The views point into the reader's bytes and hold until `each`
  // returns. Line ends alone after the last record (a blank line an editor
  // left) are no record. Stops at the first failure and returns it: one that
  // `each` returned, a read error of the source, or Damaged, with the bytes
  // after the last whole record, when the data ends inside a record. A
  // record at a failure is never passed on.
  // `each` is any callable taking a `const RecordView&` and returning Status;
  // a template, so that the call is inlined in the loop over every record.
  template <typename Each>
  Status forEachRecord(Each&& each);

  // Ends forEachRecord() after the record at hand, with success: for a caller
  // that has what it looked for, or that will not go on for a reason of its
  // own and keeps that reason itself.
  void stop() { stopped_ = true; }

  // Reads one field by the same rules, for files that hold a single value
  // (the colour file). `out` is unset when no byte is left to start it.
  Status readField(Field& out);

  // Bytes consumed so far, counted from the first byte of the source.
  std::size_t position() const { return consumedBefore_ + pos_; }

 private:
  // How the last field read ended, and whether it stood as the writer writes
  // it: quoted or empty, with nothing before or after.
  enum class Delimiter : unsigned char { Comma, CrLf, Other };
  struct FieldShape {
    bool asWritten = false;
    bool open = false;  // a quote with no closing quote before the end of the data
    Delimiter delimiter = Delimiter::Other;
  };

  // Puts the unread bytes followed by the next ones of the source in place
  // of the bytes at hand. False when none came: at the end of the source, or
  // when it failed. A failure ends the data and is kept in failure_, which
  // forEachRecord() returns before anything read after it is used. The unread
  // bytes always start a record (or a field, for readField), so when they
  // fill kMaxRecordBytes the record is too large: failure_ becomes Damaged,
  // with every byte from its start to the end of the source.
  bool fetch();
  // Reads what is left of the source without keeping it; the bytes counted.
  std::size_t skipRest();
  // True when no byte but CR and LF is left.
  bool atEnd();
  // Reads the next four fields; false when the data ends before the fourth.
  bool next(RecordView& out);
  bool readField(FieldView& out, FieldShape& shape);

  ByteSource& source_;
  std::string buffer_;
  std::string_view data_;  // the bytes at hand, in buffer_
  std::size_t pos_ = 0;
  std::size_t consumedBefore_ = 0;
  bool exhausted_ = false;  // no byte will come beyond data_
  bool stopped_ = false;    // the caller asked for no more records
  Status failure_ = Status::success();
};

template <typename Each>
Status RecordReader::forEachRecord(Each&& each) {
  RecordView record;
  stopped_ = false;
  while (!stopped_) {
    const bool end = atEnd();
    if (!failure_.ok()) return failure_;
    if (end) return Status::success();
    const std::size_t wholeEnd = position();
    const bool whole = next(record);
    if (!failure_.ok()) return failure_;
    // A record that is cut off has read on to the end of the data.
    if (!whole) return Status::damaged(position() - wholeEnd);
    if (Status status = each(static_cast<const RecordView&>(record)); !status.ok()) return status;
  }
  return Status::success();
}

}  // namespace ombrel::storage
