// SPDX-License-Identifier: MIT
#include "storage/RecordWriter.h"

#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"

namespace ombrel::storage {
namespace {

void appendField(std::string& out, const Field& field) {
  // An unset field is written as nothing at all, so that it reads back unset
  // and stays distinct from an empty text ("").
  if (!field) return;
  out += kQuote;
  out += *field;
  out += kQuote;
}

void appendField(std::string& out, const FieldView& field) {
  if (!field.set) return;
  out += kQuote;
  out += field.text;
  out += kQuote;
}

template <typename AnyRecord>
void appendAny(std::string& out, const AnyRecord& record) {
  appendField(out, record.name);
  out += kComma;
  appendField(out, record.user);
  out += kComma;
  appendField(out, record.password);
  out += kComma;
  appendField(out, record.notes);
  out += kLineEnd;
}

}  // namespace

void appendRecord(std::string& out, const Record& record) { appendAny(out, record); }

void appendRecord(std::string& out, const RecordView& record) { appendAny(out, record); }

std::size_t writtenSize(const Record& record) {
  std::size_t size = 3 + kLineEnd.size();  // the commas and the line end
  for (const Field* field : {&record.name, &record.user, &record.password, &record.notes})
    if (*field) size += (*field)->size() + 2;
  return size;
}

bool fitsOneRecord(const Record& record) {
  // A line end left unread before the record counts towards the reader's
  // limit as well.
  return writtenSize(record) + kLineEnd.size() < RecordReader::kMaxRecordBytes;
}

}  // namespace ombrel::storage
