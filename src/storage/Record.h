// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrel::storage {

// A field is a text (possibly empty) or unset; the writer keeps the two apart
// ("" versus nothing between the commas), so a rewrite can give back every
// field exactly as it was read.
using Field = std::optional<std::string>;

// One entry: the four fields in file order, all still shift-encoded.
struct Record {
  Field name;
  Field user;
  Field password;
  Field notes;

  bool operator==(const Record&) const = default;
};

// A field as a reader finds it, before it is copied anywhere: unset, or a text
// that lies in the reader's bytes and is valid only until the reader reads on.
// Looking through records by their views costs no allocation.
struct FieldView {
  bool set = false;
  std::string_view text;
};

struct RecordView {
  FieldView name;
  FieldView user;
  FieldView password;
  FieldView notes;
  // The bytes the record was read from, and whether they are exactly what the
  // writer writes for these four fields (no blanks, nothing after a closing
  // quote, commas between, CR LF at the end), so that a copy of the file can
  // take them as they stand.
  std::string_view bytes;
  bool asWritten = false;
};

// A copy of what a view shows, to keep beyond the reader's next step.
inline Field fieldOf(const FieldView& view) {
  if (!view.set) return std::nullopt;
  return std::string(view.text);
}
inline Record recordOf(const RecordView& view) {
  return {fieldOf(view.name), fieldOf(view.user), fieldOf(view.password), fieldOf(view.notes)};
}

// The text of a field, an unset field counting as the empty text.
inline const std::string& textOf(const Field& field) {
  static const std::string empty;
  return field ? *field : empty;
}

}  // namespace ombrel::storage
