#include "ui/SortedListBox.h"

#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
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


// What sorting compares for each name: its first 16 case-folded characters
// packed into two integers, so that most comparisons touch no string at all,
// and the rest in one buffer shared by every name. Only names all in ASCII
// are folded this way (A-Z to a-z, as Qt folds them); any other name is
// compared with compareNames.
struct SortKey {
  std::uint64_t head[2];
  std::size_t tail;      // where the characters after the 16th start in the buffer
  std::uint32_t length;  // of the name, or kNotFolded
  std::uint32_t index;   // among the names sorted: keeps equal names in order
};

constexpr std::uint32_t kNotFolded = std::numeric_limits<std::uint32_t>::max();
constexpr qsizetype kHeadLength = 16;

SortKey foldedKey(const QString& name, std::uint32_t index, std::string& tails) {
  SortKey key{{0, 0}, tails.size(), kNotFolded, index};
  if (name.size() >= kNotFolded) return key;
  const char16_t* units = reinterpret_cast<const char16_t*>(name.utf16());
  unsigned char head[kHeadLength] = {};
  for (qsizetype i = 0; i < name.size(); ++i) {
    char16_t unit = units[i];
    if (unit >= 0x80) {
      tails.resize(key.tail);
      return key;
    }
    if (unit >= 'A' && unit <= 'Z') unit += 'a' - 'A';
    if (i < kHeadLength)
      head[i] = static_cast<unsigned char>(unit);
    else
      tails.push_back(static_cast<char>(unit));
  }
  // Big-endian, so that comparing the integers compares the characters in order.
  for (int i = 0; i < 8; ++i) {
    key.head[0] = key.head[0] << 8 | head[i];
    key.head[1] = key.head[1] << 8 | head[8 + i];
  }
  key.length = static_cast<std::uint32_t>(name.size());
  return key;
}

// Equal heads mean equal first characters, a shorter name padded with zeros;
// then the tails decide, and after them the length (a prefix sorts first).
int compareFolded(const SortKey& a, const SortKey& b, const char* tails) {
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0] ? -1 : 1;
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1] ? -1 : 1;
  const std::size_t aTail = a.length > kHeadLength ? a.length - kHeadLength : 0;
  const std::size_t bTail = b.length > kHeadLength ? b.length - kHeadLength : 0;
  if (const int order = std::memcmp(tails + a.tail, tails + b.tail, std::min(aTail, bTail)))
    return order;
  if (a.length != b.length) return a.length < b.length ? -1 : 1;
  return 0;
}

}  // namespace

int SortedListBox::compareNames(const QString& a, const QString& b) {
  const qsizetype common = std::min(a.size(), b.size());
  const QChar* left = a.constData();
  const QChar* right = b.constData();
  qsizetype i = 0;
  for (; i < common; ++i) {
    char16_t l = left[i].unicode();
    char16_t r = right[i].unicode();
    if (l >= 0x80 || r >= 0x80) break;  // the rest by Qt's own case folding
    if (l >= 'A' && l <= 'Z') l += 'a' - 'A';
    if (r >= 'A' && r <= 'Z') r += 'a' - 'A';
    if (l != r) return l < r ? -1 : 1;
  }
  return QStringView(a).mid(i).compare(QStringView(b).mid(i), Qt::CaseInsensitive);
}



int NameListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= names_.size()) return {};
  if (role == Qt::DisplayRole) return names_[index.row()];
  return {};
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void NameListModel::insertName(int row, const QString& name) {
  beginInsertRows(QModelIndex(), row, row);
  names_.insert(row, name);
  endInsertRows();
}

void NameListModel::removeName(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  names_.removeAt(row);
  endRemoveRows();
}

void NameListModel::resetNames(QStringList names) {
  beginResetModel();
  names_ = std::move(names);
  endResetModel();
}

void SortedListBox::sortNames(QStringList& names) {
  if (names.size() >= kNotFolded) {  // more than the keys can number
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
    return;
  }
  std::string tails;
  std::vector<SortKey> keys;
  keys.reserve(static_cast<std::size_t>(names.size()));
  for (qsizetype i = 0; i < names.size(); ++i)
    keys.push_back(foldedKey(names[i], static_cast<std::uint32_t>(i), tails));

  const char* tailBytes = tails.data();
  std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
    const int order = a.length != kNotFolded && b.length != kNotFolded
                          ? compareFolded(a, b, tailBytes)
                          : compareNames(names[a.index], names[b.index]);
    return order != 0 ? order < 0 : a.index < b.index;
  });

  QStringList sorted;
  sorted.reserve(names.size());
  for (const SortKey& key : keys) sorted.append(std::move(names[key.index]));
  names = std::move(sorted);
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

void SortedListBox::selectRow(int row) {
  selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

void SortedListBox::setCurrentRow(int row) { selectRow(row); }

QRect SortedListBox::nameRect(int row) const { return visualRect(model_->index(row, 0)); }

void SortedListBox::addName(const QString& name) {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  // Upper bound: the first name that sorts strictly after the new one.
  const QStringList& names = model_->names();
  const auto after = std::upper_bound(
      names.begin(), names.end(), name,
      [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
  model_->insertName(static_cast<int>(after - names.begin()), name);
}

void SortedListBox::addNames(QStringList names) {
  if (names.isEmpty()) return;
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);

  sortNames(names);
  const QStringList& listed = model_->names();
  if (listed.isEmpty()) {
    model_->resetNames(std::move(names));
    return;
  }

  // Merge with the names already listed; on a tie the listed name stays
  // first, as if each new name had been added on its own.
  const int selected = selectedIndex();
  int selectedAfter = -1;
  QStringList merged;
  merged.reserve(listed.size() + names.size());
  qsizetype old = 0;
  qsizetype next = 0;
  while (old < listed.size() || next < names.size()) {
    const bool takeOld = next == names.size() ||
                         (old < listed.size() && compareNames(listed[old], names[next]) <= 0);
    if (takeOld) {
      if (old == selected) selectedAfter = static_cast<int>(merged.size());
      merged << listed[old++];
    } else {
      merged << std::move(names[next++]);
    }
  }
  model_->resetNames(std::move(merged));
  if (selectedAfter >= 0) selectRow(selectedAfter);
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
  const QStringList& names = model_->names();
  return index >= 0 && index < names.size() ? names[index] : QString();
}

int SortedListBox::selectedIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  int first = rows.front().row();
  for (const QModelIndex& row : rows) first = std::min(first, row.row());
  return first;
}

}  // namespace ombrel
