// SPDX-License-Identifier: MIT
#include "text/NameOrder.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace ombrel {
namespace {

char16_t folded(char16_t unit) { return unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit; }

// Sorting names all in ASCII with no NUL, folded as Qt folds them (A-Z to
// a-z), works on 16 characters at a time packed into two integers, so that
// comparisons touch no text: names are sorted by their first 16 characters,
// then each run of names equal so far by the next 16, and so on. A zero in
// the packed characters marks the end of a name, which sorts it before every
// longer name it begins. Equal names keep the order of their place in the
// block's text, which is the order in which they were added.
struct SortKey {
  std::uint64_t head[2];
  qsizetype offset;
  qsizetype length;
};

constexpr qsizetype kHeadLength = 16;

bool foldable(QStringView name) {
  return std::all_of(name.begin(), name.end(),
                     [](QChar unit) { return unit.unicode() != 0 && unit.unicode() < 0x80; });
}

// Packs the characters from `depth` on, big-endian so that comparing the
// integers compares the characters in order, padded with zeros.
void packHead(SortKey& key, const char16_t* text, qsizetype depth) {
  key.head[0] = key.head[1] = 0;
  const char16_t* name = text + key.offset;
  for (qsizetype i = 0; i < kHeadLength; ++i) {
    const qsizetype at = depth + i;
    const std::uint64_t unit = at < key.length ? folded(name[at]) : 0;
    key.head[i / 8] = key.head[i / 8] << 8 | unit;
  }
}

bool headBefore(const SortKey& a, const SortKey& b) {
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
  return a.offset < b.offset;
}

void sortFolded(SortKey* begin, SortKey* end, const char16_t* text) {
  struct Range {
    SortKey* begin;
    SortKey* end;
    qsizetype depth;
  };
  // A list of ranges to do rather than recursion: names that share a
  // megabyte would otherwise go thousands of calls deep.
  std::vector<Range> todo{{begin, end, 0}};
  while (!todo.empty()) {
    const Range range = todo.back();
    todo.pop_back();
    std::sort(range.begin, range.end, headBefore);
    for (SortKey* run = range.begin; run != range.end;) {
      SortKey* next = run + 1;
      while (next != range.end && next->head[0] == run->head[0] && next->head[1] == run->head[1])
        ++next;
      // Names that end within these characters are equal and already in order.
      const bool goOn = (run->head[1] & 0xFF) != 0;
      if (next - run > 1 && goOn) {
        const qsizetype depth = range.depth + kHeadLength;
        for (SortKey* key = run; key != next; ++key) packHead(*key, text, depth);
        todo.push_back({run, next, depth});
      }
      run = next;
    }
  }
}

}  // namespace

int compareNames(QStringView a, QStringView b) {
  const qsizetype common = std::min(a.size(), b.size());
  qsizetype i = 0;
  for (; i < common; ++i) {
    const char16_t left = a[i].unicode();
    const char16_t right = b[i].unicode();
    if (left >= 0x80 || right >= 0x80) break;  // the rest by Qt's own case folding
    if (folded(left) != folded(right)) return folded(left) < folded(right) ? -1 : 1;
  }
  return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive);
}

void sortNames(NameBlock& names) {
  const QString& block = names.text();
  const auto* text = reinterpret_cast<const char16_t*>(block.utf16());
  std::vector<SortKey> ascii;
  std::vector<NameBlock::Span> others;  // names sorted by compareNames
  ascii.reserve(names.spans().size());
  for (const NameBlock::Span& span : names.spans()) {
    if (foldable(QStringView(block).mid(span.offset, span.length))) {
      ascii.push_back({{0, 0}, span.offset, span.length});
      packHead(ascii.back(), text, 0);
    } else {
      others.push_back(span);
    }
  }
  sortFolded(ascii.data(), ascii.data() + ascii.size(), text);

  auto whole = [&block](const NameBlock::Span& span) {
    return QStringView(block).mid(span.offset, span.length);
  };
  auto before = [&](const NameBlock::Span& a, const NameBlock::Span& b) {
    const int order = compareNames(whole(a), whole(b));
    return order != 0 ? order < 0 : a.offset < b.offset;
  };
  std::sort(others.begin(), others.end(), before);

  std::vector<NameBlock::Span> order = names.takeSpans();  // its memory, for the new order
  order.clear();
  for (const SortKey& key : ascii) order.push_back({key.offset, key.length});
  if (!others.empty()) {
    std::vector<NameBlock::Span> merged;
    merged.reserve(order.size() + others.size());
    std::merge(order.begin(), order.end(), others.begin(), others.end(), std::back_inserter(merged),
               before);
    order = std::move(merged);
  }
  names.reorder(std::move(order));
}

}  // namespace ombrel
