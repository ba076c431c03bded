#include "ui/SortedListBox.h"

#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>

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

SortedListBox::SortedListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new ShortenedNameDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(false);   // the list sorts itself, without regard to case
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
  QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
  if (flags.testFlag(QItemSelectionModel::Deselect)) return QItemSelectionModel::NoUpdate;
  return flags;
}

void SortedListBox::addName(const QString& name) {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  // Upper bound: the first name that sorts strictly after the new one.
  int low = 0;
  int high = count();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (compareNames(name, item(middle)->text()) < 0)
      high = middle;
    else
      low = middle + 1;
  }
  insertItem(low, name);
}

void SortedListBox::addNames(const QStringList& names) {
  if (names.isEmpty()) return;
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);

  QStringList added = names;
  std::stable_sort(added.begin(), added.end(),
                   [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
  if (count() == 0) {
    insertItems(0, added);
    return;
  }

  // Merge with the names already listed; on a tie the listed name stays
  // first, as if each new name had been added on its own.
  const int selected = selectedIndex();
  int selectedAfter = -1;
  QStringList merged;
  merged.reserve(count() + added.size());
  int old = 0;
  qsizetype next = 0;
  while (old < count() || next < added.size()) {
    const bool takeOld = next == added.size() ||
                         (old < count() && compareNames(item(old)->text(), added[next]) <= 0);
    if (takeOld) {
      if (old == selected) selectedAfter = static_cast<int>(merged.size());
      merged << item(old++)->text();
    } else {
      merged << added[next++];
    }
  }
  setUpdatesEnabled(false);
  clear();
  insertItems(0, merged);
  if (selectedAfter >= 0) setCurrentRow(selectedAfter);
  setUpdatesEnabled(true);
}

void SortedListBox::removeNameAt(int index) {
  if (index < 0 || index >= count()) return;
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  // Removing the picked name leaves nothing picked; left alone, the view
  // would pick the next name by itself.
  if (selectedIndex() == index) selectionModel()->clearSelection();
  if (currentRow() == index)
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  delete takeItem(index);
}

void SortedListBox::clearNames() {
  QScopedValueRollback guard(programmatic_, programmatic_ + 1);
  clear();
}

QString SortedListBox::nameAt(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->text() : QString();
}

int SortedListBox::selectedIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  int first = rows.front().row();
  for (const QModelIndex& row : rows) first = std::min(first, row.row());
  return first;
}

}  // namespace ombrel
