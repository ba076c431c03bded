// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "storage/DataFiles.h"
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
// This reader holds all the bytes at once; FileRecordReader below fetches
// them block by block and reads exactly the same records.
class RecordReader {
 public:
  explicit RecordReader(std::string_view data) : data_(data), exhausted_(true) {}
  virtual ~RecordReader() = default;

  // True when no byte but CR and LF is left after the current position.
  bool atEnd();

  // Reads the next four fields into `out`. Returns false when the data ends
  // before the fourth field starts (a record cut off at the end of the file);
  // `out` is then unspecified and the reader stays at the end.
  bool next(Record& out);

  // The same without copying: the views point into the reader's bytes and
  // hold until the next call to next() or atEnd().
  bool next(RecordView& out);

  // Reads one field by the same rules from the bytes at hand, for files that
  // hold a single value (the colour file). False when no byte is left to
  // start it.
  bool readField(Field& out);

  // Bytes consumed so far, counted from the first byte of the data.
  std::size_t position() const { return consumedBefore_ + pos_; }

 protected:
  RecordReader() = default;

  // Called when the bytes at hand are used up, or end inside a record: puts
  // the unread bytes followed by the next ones of the data in their place
  // (setBytes). False when no further byte will come.
  virtual bool fetchMore() { return false; }

  std::string_view unreadBytes() const { return data_.substr(pos_); }
  void setBytes(std::string_view bytes) {
    consumedBefore_ += pos_;
    data_ = bytes;
    pos_ = 0;
  }

 private:
  // How the last field read ended, and whether it stood as the writer writes
  // it: quoted or empty, with nothing before or after.
  enum class Delimiter : unsigned char { Comma, CrLf, Other };
  struct FieldShape {
    bool asWritten = false;
    Delimiter delimiter = Delimiter::Other;
  };

  bool fetch();
  bool readField(FieldView& out, FieldShape& shape);

  std::string_view data_;
  std::size_t pos_ = 0;
  std::size_t consumedBefore_ = 0;
  bool exhausted_ = false;  // no byte will come beyond data_
};

// Reads the records of an open file a block at a time, so that memory stays
// at one block (or the longest record) whatever the size of the file. A read
// error ends the data; status() then tells it apart from the end of the file.
class FileRecordReader : public RecordReader {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;

  explicit FileRecordReader(InputFile& file, std::size_t blockSize = kBlockSize);

  const Status& status() const { return status_; }

 protected:
  bool fetchMore() override;

 private:
  InputFile& file_;
  std::string buffer_;
  Status status_ = Status::success();
};

}  // namespace ombrel::storage
