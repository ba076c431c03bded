// SPDX-License-Identifier: MIT
#include "importexport/KnownRecords.h"

#include <algorithm>
#include <functional>

namespace ombrel {
namespace {

std::size_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

// The table is kept at most three quarters full, so that a search ends soon.
bool tooFull(std::size_t used, std::size_t cells) { return (used + 1) * 4 > cells * 3; }

std::size_t cellsFor(std::size_t keys) {
  std::size_t cells = 16;
  while (tooFull(keys, cells)) cells *= 2;
  return cells;
}

}  // namespace

void KnownRecords::reserveStored(std::size_t bytes) {
  // A stored record's fields take fewer bytes than its line in the file.
  text_.reserve(bytes);
}

void KnownRecords::addStored(const StoredFields& record) {
  Span span;
  span.offset = text_.size();
  for (std::size_t i = 0; i < record.size(); ++i) {
    text_ += record[i];
    span.sizes[i] = static_cast<std::uint32_t>(record[i].size());
  }
  spans_.push_back(span);
}

void KnownRecords::indexStored(std::size_t more) {
  resize(cellsFor(spans_.size() + more));
  previousOfName_.reserve(spans_.size() + more);
  for (std::uint32_t record = 0; record < spans_.size(); ++record) index(record);
}

void KnownRecords::addLastAdded() {
  index(static_cast<std::uint32_t>(spans_.size() + added_.size() - 1));
}

StoredFields KnownRecords::fieldsAt(std::uint32_t index) const {
  if (index >= spans_.size()) {
    const storage::Record& record = added_[index - spans_.size()];
    return {storage::textOf(record.name), storage::textOf(record.user),
            storage::textOf(record.password), storage::textOf(record.notes)};
  }
  const Span& span = spans_[index];
  const std::string_view text(text_);
  StoredFields fields;
  std::size_t offset = span.offset;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = text.substr(offset, span.sizes[i]);
    offset += span.sizes[i];
  }
  return fields;
}

std::size_t KnownRecords::cellOf(std::string_view name, std::size_t hash) const {
  const std::size_t mask = cells_.size() - 1;
  const auto low = static_cast<std::uint32_t>(hash);
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Cell& cell = cells_[at];
    if (cell.record == kNone || (cell.hash == low && fieldsAt(cell.record)[0] == name)) return at;
  }
}

void KnownRecords::index(std::uint32_t record) {
  if (tooFull(names_, cells_.size())) resize(std::max<std::size_t>(16, cells_.size() * 2));
  const std::string_view name = fieldsAt(record)[0];
  const std::size_t hash = hashOf(name);
  Cell& cell = cells_[cellOf(name, hash)];
  if (cell.record == kNone) {
    cell.hash = static_cast<std::uint32_t>(hash);
    ++names_;
  }
  // Records are indexed in order, so the link of each lies at its own index.
  previousOfName_.push_back(cell.record);
  cell.record = record;
}

void KnownRecords::resize(std::size_t cells) {
  std::vector<Cell> old = std::move(cells_);
  cells_.assign(cells, Cell{});
  const std::size_t mask = cells - 1;
  // The low bits of the hash kept in each cell place it: no table has more
  // than 2^32 cells.
  for (const Cell& cell : old) {
    if (cell.record == kNone) continue;
    std::size_t at = cell.hash & mask;
    while (cells_[at].record != kNone) at = (at + 1) & mask;
    cells_[at] = cell;
  }
}

KnownRecords::Match KnownRecords::match(const StoredFields& record) const {
  if (cells_.empty()) return Match::NewName;
  const std::uint32_t last = cells_[cellOf(record[0], hashOf(record[0]))].record;
  if (last == kNone) return Match::NewName;
  for (std::uint32_t known = last; known != kNone; known = previousOfName_[known])
    if (fieldsAt(known) == record) return Match::Identical;
  return Match::NameTaken;
}

}  // namespace ombrel
