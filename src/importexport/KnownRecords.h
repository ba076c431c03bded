// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Record.h"

namespace ombrel {

// The four stored fields of a record, an unset field as an empty one.
using StoredFields = std::array<std::string_view, 4>;

// The records an import compares its logins with: those of the entry file
// and those it adds, found by name and by all four fields, exactly as the
// program finds entries. An unset field and an empty one count as the same,
// since the window shows both as empty.
//
// An import meets every record of a large entry file, so those records are
// kept in one block of text, the records it adds are looked at where they
// lie, and both are found through one open-addressing table of names, with
// the records of a name linked from one to the next, rather than as a string
// and a hash node apiece.
class KnownRecords {
 public:
  // `added`: where the import gathers the records it adds.
  explicit KnownRecords(const std::vector<storage::Record>& added) : added_(added) {}

  // Room for the records of an entry file of `bytes` bytes.
  void reserveStored(std::size_t bytes);
  // A record of the entry file. Every one is given before indexStored().
  void addStored(const StoredFields& record);
  // Makes the stored records findable, with room for `more` records added
  // before the table must grow.
  void indexStored(std::size_t more);
  // The record last appended to `added`.
  void addLastAdded();

  enum class Match {
    NewName,    // no record has its name
    NameTaken,  // records have its name, none its four fields
    Identical,  // a record has its four fields
  };
  Match match(const StoredFields& record) const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  struct Cell {
    std::uint32_t record = kNone;  // the last record of the name
    std::uint32_t hash = 0;        // the low bits of its hash, to pass over most cells unread
  };
  struct Span {
    std::size_t offset = 0;
    std::array<std::uint32_t, 4> sizes{};
  };

  // Indexes below the number of stored records are theirs; the records
  // added follow.
  StoredFields fieldsAt(std::uint32_t index) const;
  // The cell of `name`, or the empty cell where it would go.
  std::size_t cellOf(std::string_view name, std::size_t hash) const;
  void index(std::uint32_t record);
  // Puts the names into a new table of `cells` cells, a power of two.
  void resize(std::size_t cells);

  const std::vector<storage::Record>& added_;
  std::string text_;         // the stored records' fields, one after another
  std::vector<Span> spans_;  // where each stored record's fields lie in text_
  std::vector<Cell> cells_;
  std::size_t names_ = 0;                      // cells in use
  std::vector<std::uint32_t> previousOfName_;  // for each record, the one before of its name
};

}  // namespace ombrel
