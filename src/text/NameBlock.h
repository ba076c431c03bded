// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>
#include <vector>

namespace ombrel {

// Names kept back to back in one string, each a span of it. One allocation
// for all the names of an entry file, rather than one string apiece, is most
// of what listing a large file saves; the list keeps its names this way too.
class NameBlock {
 public:
  struct Span {
    qsizetype offset = 0;
    qsizetype length = 0;
  };

  NameBlock() = default;
  NameBlock(const QStringList& names);              // NOLINT(google-explicit-constructor)
  NameBlock(std::initializer_list<QString> names);  // NOLINT(google-explicit-constructor)

  qsizetype size() const { return static_cast<qsizetype>(spans_.size()); }
  bool isEmpty() const { return spans_.empty(); }
  QStringView at(qsizetype i) const {
    const Span& span = spans_[static_cast<std::size_t>(i)];
    return QStringView(text_).mid(span.offset, span.length);
  }

  // Makes room for this many characters and names, so that filling the block
  // up to them moves nothing. Room that stays unused costs address space only.
  void reserve(qsizetype characters, qsizetype names);

  void append(QStringView name);
  void insert(qsizetype at, QStringView name);
  // The name's characters stay in the text until the block is dropped.
  void removeAt(qsizetype at);

  // For decoders that write a name in place: room for up to `maxLength`
  // characters after the last name. endName(), given the end of what was
  // written, adds the name; nothing else may touch the block in between.
  QChar* beginName(qsizetype maxLength);
  void endName(const QChar* end);

  // The characters the spans point into (more may follow the last name).
  const QString& text() const { return text_; }
  const std::vector<Span>& spans() const { return spans_; }
  // To put the names in another order: take the spans, then give back a
  // reordering of them.
  std::vector<Span> takeSpans() { return std::move(spans_); }
  void reorder(std::vector<Span> spans) { spans_ = std::move(spans); }

 private:
  QString text_;  // sized ahead of the names, which fill it up to used_
  qsizetype used_ = 0;
  std::vector<Span> spans_;
};

}  // namespace ombrel
