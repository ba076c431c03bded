// SPDX-License-Identifier: MIT
#include "ui/SortedListBox.h"

#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>
#include <cstdint>
#include <vector>

namespace ombrel {
namespace {

// Draws a name of more than a few hundred characters cut short with an
// ellipsis. The style measures and elides the whole text on every paint, which
// for a megabyte-long name from a damaged file took seconds each time; no more
// than this fits in the list anyway. The item keeps the whole name.
class ShortenedNameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    constexpr qsizetype kLongestDrawn = 500;
    if (option->text.size() > kLongestDrawn) {
      option->text.truncate(kLongestDrawn);
      option->text += QChar(0x2026);
    }
  }
};


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

int SortedListBox::compareNames(QStringView a, QStringView b) {
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

void SortedListBox::sortNames(NameBlock& names) {
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
    std::merge(order.begin(), order.end(), others.begin(), others.end(),
               std::back_inserter(merged), before);
    order = std::move(merged);
  }
  names.reorder(std::move(order));
}

int NameListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= names_.size()) return {};
  if (role == Qt::DisplayRole) return names_.at(index.row()).toString();
  return {};
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void NameListModel::insertName(int row, QStringView name) {
  beginInsertRows(QModelIndex(), row, row);
  names_.insert(row, name);
  endInsertRows();
}

void NameListModel::removeName(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  names_.removeAt(row);
  endRemoveRows();
}

void NameListModel::resetNames(NameBlock names) {
  beginResetModel();
  names_ = std::move(names);
  endResetModel();
}

SortedListBox::SortedListBox(QWidget* parent)
    : QListView(parent), model_(new NameListModel(this)) {
  setModel(model_);
  setItemDelegate(new ShortenedNameDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);  // keeps a list of 100,000 names quick to lay out
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &SortedListBox::onSelectionChanged);
}

void SortedListBox::onSelectionChanged() {
  if (programmatic_ == 0) emit userSelectionChanged();
}

QItemSelectionModel::SelectionFlags SortedListBox::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
  // Ctrl+click on the selected name would deselect it; a single-selection
  // list keeps its pick until another name is picked.
  QItemSelectionModel::SelectionFlags flags = QListView::selectionCommand(index, event);
  if (flags.testFlag(QItemSelectionModel::Deselect)) return QItemSelectionModel::NoUpdate;
  return flags;
}

void SortedListBox::setCurrentRow(int row) {
  selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

void SortedListBox::setCurrentRowSilently(int row) {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  if (row < 0) {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    return;
  }
  setCurrentRow(row);
  scrollTo(model_->index(row, 0));
}

QRect SortedListBox::nameRect(int row) const { return visualRect(model_->index(row, 0)); }

void SortedListBox::addName(const QString& name) {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  // Upper bound: the first name that sorts strictly after the new one.
  const NameBlock& names = model_->names();
  qsizetype low = 0;
  qsizetype high = names.size();
  while (low < high) {
    const qsizetype middle = low + (high - low) / 2;
    if (compareNames(name, names.at(middle)) < 0)
      high = middle;
    else
      low = middle + 1;
  }
  model_->insertName(static_cast<int>(low), name);
}

void SortedListBox::addNames(NameBlock names) {
  if (names.isEmpty()) return;
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);

  sortNames(names);
  const NameBlock& listed = model_->names();
  if (listed.isEmpty()) {
    model_->resetNames(std::move(names));
    return;
  }

  // Merge with the names already listed; on a tie the listed name stays
  // first, as if each new name had been added on its own.
  const int selected = selectedIndex();
  int selectedAfter = -1;
  NameBlock merged;
  qsizetype old = 0;
  qsizetype next = 0;
  while (old < listed.size() || next < names.size()) {
    const bool takeOld = next == names.size() ||
                         (old < listed.size() && compareNames(listed.at(old), names.at(next)) <= 0);
    if (takeOld) {
      if (old == selected) selectedAfter = static_cast<int>(merged.size());
      merged.append(listed.at(old++));
    } else {
      merged.append(names.at(next++));
    }
  }
  model_->resetNames(std::move(merged));
  if (selectedAfter >= 0) setCurrentRow(selectedAfter);  // silent: the list is changing itself
}

void SortedListBox::removeNameAt(int index) {
  if (index < 0 || index >= count()) return;
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  // Removing the picked name leaves nothing picked; left alone, the view
  // would pick the next name by itself.
  if (selectedIndex() == index) selectionModel()->clearSelection();
  if (currentIndex().row() == index)
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  model_->removeName(index);
}

void SortedListBox::clearNames() {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  model_->resetNames({});
}

QString SortedListBox::nameAt(int index) const {
  const NameBlock& names = model_->names();
  return index >= 0 && index < names.size() ? names.at(index).toString() : QString();
}

int SortedListBox::selectedIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  int first = rows.front().row();
  for (const QModelIndex& row : rows) first = std::min(first, row.row());
  return first;
}

}  // namespace ombrel
