// SPDX-License-Identifier: MIT
#include "storage/RecordReader.h"

#include <algorithm>
#include <cstring>

#include "storage/RecordFormat.h"

namespace ombrel::storage {
namespace {

bool isDelimiter(char c) { return c == kComma || c == kCR || c == kLF; }

constexpr std::string_view kLineEndBytes = "\r\n";

}  // namespace

RecordReader::RecordReader(ByteSource& source, std::size_t blockSize) : source_(source) {
  buffer_.resize(blockSize > 0 ? blockSize : 1);
}

bool RecordReader::fetch() {
  if (exhausted_) return false;
  // The unread bytes move to the front of the buffer and the source fills
  // the rest; a record longer than the block gets a larger buffer.
  const std::string_view unread = data_.substr(pos_);
  const std::size_t kept = unread.size();
  if (kept >= kMaxRecordBytes) {
    failure_ = Status::damaged(kept + skipRest());
    exhausted_ = true;
    return false;
  }
  if (kept > 0 && unread.data() != buffer_.data())
    std::memmove(buffer_.data(), unread.data(), kept);
  if (kept == buffer_.size()) buffer_.resize(std::min(buffer_.size() * 2, kMaxRecordBytes));
  std::size_t got = 0;
  failure_ = source_.read(buffer_.data() + kept, buffer_.size() - kept, got);
  if (!failure_.ok()) got = 0;
  consumedBefore_ += pos_;
  pos_ = 0;
  data_ = std::string_view(buffer_.data(), kept + got);
  // After a failure nothing more is read: what is at hand is all there is.
  if (got == 0) exhausted_ = true;
  return got > 0;
}

std::size_t RecordReader::skipRest() {
  char block[4096];
  std::size_t skipped = 0;
  for (std::size_t got = 1; got > 0;) {
    if (!source_.read(block, sizeof block, got).ok()) break;
    skipped += got;
  }
  return skipped;
}

bool RecordReader::atEnd() {
  // Line ends alone after the last record end the data too: read as a
  // record, they would make one cut off. They stay unread, since between
  // records they still close fields.
  std::size_t lineEnds = 0;  // line-end bytes seen after the current position
  for (;;) {
    const std::size_t other = data_.find_first_not_of(kLineEndBytes, pos_ + lineEnds);
    if (other != std::string_view::npos) return false;
    lineEnds = data_.size() - pos_;
    if (!fetch()) return true;
  }
}

bool RecordReader::next(RecordView& out) {
  for (;;) {
    const std::size_t start = pos_;
    FieldShape name, user, password, notes;
    const bool whole = readField(out.name, name) && readField(out.user, user) &&
                       readField(out.password, password) && readField(out.notes, notes) &&
                       !notes.open;
    // A record that stops short of the end of the bytes at hand is complete.
    // One that reaches it may go on in bytes not yet fetched (a field, a
    // quote, the LF of a CR LF): it is read again once they are there.
    if (pos_ < data_.size() || exhausted_) {
      out.bytes = data_.substr(start, pos_ - start);
      out.asWritten = whole && name.asWritten && user.asWritten && password.asWritten &&
                      notes.asWritten && name.delimiter == Delimiter::Comma &&
                      user.delimiter == Delimiter::Comma &&
                      password.delimiter == Delimiter::Comma && notes.delimiter == Delimiter::CrLf;
      return whole;
    }
    pos_ = start;
    fetch();
  }
}

Status RecordReader::readField(Field& out) {
  for (;;) {
    const std::size_t start = pos_;
    FieldView view;
    FieldShape shape;
    const bool found = readField(view, shape);
    if (pos_ < data_.size() || exhausted_) {
      if (!failure_.ok()) return failure_;
      if (found && view.set) {
        out.emplace(view.text);
      } else {
        out.reset();
      }
      return Status::success();
    }
    pos_ = start;
    fetch();
  }
}

bool RecordReader::readField(FieldView& out, FieldShape& shape) {
  const char* const bytes = data_.data();
  const std::size_t size = data_.size();

  const std::size_t first = pos_;
  while (pos_ < size && bytes[pos_] == kBlank) ++pos_;
  if (pos_ >= size) return false;
  shape.asWritten = pos_ == first;

  if (bytes[pos_] == kQuote) {
    const std::size_t start = pos_ + 1;
    const void* closing = start < size ? std::memchr(bytes + start, kQuote, size - start) : nullptr;
    if (!closing) {
      // An unterminated quote takes the rest of the data as its text; the
      // record it stands in is cut off.
      out = {true, std::string_view(bytes + start, size - start)};
      pos_ = size;
      shape = {false, true, Delimiter::Other};
      return true;
    }
    const std::size_t end = static_cast<const char*>(closing) - bytes;
    out = {true, std::string_view(bytes + start, end - start)};
    pos_ = end + 1;
    // Whatever stands between the closing quote and the delimiter is dropped.
    const std::size_t afterQuote = pos_;
    while (pos_ < size && !isDelimiter(bytes[pos_])) ++pos_;
    shape.asWritten = shape.asWritten && pos_ == afterQuote;
  } else {
    std::size_t end = pos_;
    while (end < size && !isDelimiter(bytes[end])) ++end;
    std::size_t last = end;
    while (last > pos_ && bytes[last - 1] == kBlank) --last;
    out = {last > pos_, std::string_view(bytes + pos_, last - pos_)};
    // The writer writes an unset field as nothing at all, and quotes a text.
    shape.asWritten = shape.asWritten && end == pos_;
    pos_ = end;
  }

  // The delimiter: a comma, or a line end of CR LF, LF or CR. None is left
  // when the field ran to the end of the data.
  shape.delimiter = Delimiter::Other;
  if (pos_ < size) {
    const char delimiter = bytes[pos_++];
    if (delimiter == kComma) {
      shape.delimiter = Delimiter::Comma;
    } else if (delimiter == kCR && pos_ < size && bytes[pos_] == kLF) {
      ++pos_;
      shape.delimiter = Delimiter::CrLf;
    }
  }
  return true;
}

}  // namespace ombrel::storage
