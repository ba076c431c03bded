// SPDX-License-Identifier: MIT
#include "text/NameBlock.h"

#include <algorithm>
#include <iterator>

namespace ombrel {

NameBlock::NameBlock(const QStringList& names) {
  spans_.reserve(static_cast<std::size_t>(names.size()));
  for (const QString& name : names) append(name);
}

NameBlock::NameBlock(std::initializer_list<QString> names) {
  for (const QString& name : names) append(name);
}

void NameBlock::reserve(qsizetype characters, qsizetype names) {
  if (used_ + characters > text_.size()) {
    text_.reserve(used_ + characters);  // exactly: resize() alone would allocate more
    text_.resize(used_ + characters);
  }
  spans_.reserve(spans_.size() + static_cast<std::size_t>(names));
}

QChar* NameBlock::beginName(qsizetype maxLength) {
  const qsizetype needed = used_ + maxLength;
  // Growing by half again keeps a block filled name by name linear in time.
  if (needed > text_.size()) text_.resize(std::max(needed, text_.size() * 3 / 2 + 256));
  return text_.data() + used_;
}

void NameBlock::endName(const QChar* end) {
  const qsizetype length = end - (text_.constData() + used_);
  spans_.push_back({used_, length});
  used_ += length;
}

void NameBlock::append(QStringView name) {
  const QChar* text = text_.constData();
  if (name.data() >= text && name.data() < text + used_) {
    append(name.toString());  // the text may move as it grows
    return;
  }
  QChar* out = beginName(name.size());
  endName(std::copy(name.begin(), name.end(), out));
}

void NameBlock::insert(qsizetype at, QStringView name) {
  append(name);
  const Span added = spans_.back();
  spans_.pop_back();
  spans_.insert(spans_.begin() + at, added);
}

void NameBlock::removeAt(qsizetype at) { spans_.erase(spans_.begin() + at); }

}  // namespace ombrel
