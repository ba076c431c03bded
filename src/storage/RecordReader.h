#pragma once

#include <cstddef>
#include <string_view>

#include "storage/Record.h"

namespace ombrel::storage {

// Reads entry records from the bytes of a whole file.
//
// Each field: blanks are skipped; a field that starts with a quote is the text
// up to the next quote, and the comma or line end after it is consumed;
// otherwise it is the text up to the next comma or line end, trimmed of blanks,
// and unset when that text is empty. A line end closes a field just as a comma
// does, so four fields are taken whatever lines they stand on.
class RecordReader {
 public:
  explicit RecordReader(std::string_view data) : data_(data) {}

  // True when no byte is left after the current position.
  bool atEnd() const { return pos_ >= data_.size(); }

  // Reads the next four fields into `out`. Returns false when the data ends
  // before the fourth field starts (a record cut off at the end of the file);
  // `out` is then unspecified and the reader stays at the end.
  bool next(Record& out);

  // Reads one field by the same rules, for files that hold a single value
  // (the colour file). False when no byte is left to start it.
  bool readField(Field& out);

  std::size_t position() const { return pos_; }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

}  // namespace ombrel::storage
