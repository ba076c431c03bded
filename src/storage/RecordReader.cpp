#include "storage/RecordReader.h"

#include <cstring>

#include "storage/RecordFormat.h"

namespace ombrel::storage {
namespace {

bool isDelimiter(char c) { return c == kComma || c == kCR || c == kLF; }

// Reuses the field's buffer when it already holds a text: a caller that reads
// record after record into one Record then allocates only for texts that grow.
void setText(Field& field, const char* text, std::size_t length) {
  if (field) {
    field->assign(text, length);
  } else {
    field.emplace(text, length);
  }
}

}  // namespace

bool RecordReader::next(Record& out) {
  return readField(out.name) && readField(out.user) && readField(out.password) &&
         readField(out.notes);
}

bool RecordReader::readField(Field& out) {
  const char* const bytes = data_.data();
  const std::size_t size = data_.size();

  while (pos_ < size && bytes[pos_] == kBlank) ++pos_;
  if (pos_ >= size) return false;

  if (bytes[pos_] == kQuote) {
    const std::size_t start = pos_ + 1;
    const void* closing = start < size ? std::memchr(bytes + start, kQuote, size - start) : nullptr;
    if (!closing) {
      // An unterminated quote takes the rest of the data as its text.
      setText(out, bytes + start, size - start);
      pos_ = size;
      return true;
    }
    const std::size_t end = static_cast<const char*>(closing) - bytes;
    setText(out, bytes + start, end - start);
    pos_ = end + 1;
    // Whatever stands between the closing quote and the delimiter is dropped.
    while (pos_ < size && !isDelimiter(bytes[pos_])) ++pos_;
  } else {
    std::size_t end = pos_;
    while (end < size && !isDelimiter(bytes[end])) ++end;
    std::size_t last = end;
    while (last > pos_ && bytes[last - 1] == kBlank) --last;
    if (last == pos_) {
      out.reset();
    } else {
      setText(out, bytes + pos_, last - pos_);
    }
    pos_ = end;
  }

  // The delimiter: a comma, or a line end of CR LF, LF or CR. None is left
  // when the field ran to the end of the data.
  if (pos_ < size) {
    const char delimiter = bytes[pos_++];
    if (delimiter == kCR && pos_ < size && bytes[pos_] == kLF) ++pos_;
  }
  return true;
}

}  // namespace ombrel::storage
