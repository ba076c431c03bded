// SPDX-License-Identifier: MIT
#include "ui/SortedListBox.h"

#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "text/NameOrder.h"

namespace ombrel {
namespace {

// The list order between a name and a listed one, for the standard searches
// over the spans of the listed names.
struct ListedOrder {
  const QString& text;
  QStringView listed(const NameBlock::Span& span) const {
    return QStringView(text).mid(span.offset, span.length);
  }
  bool operator()(QStringView name, const NameBlock::Span& span) const {
    return compareNames(name, listed(span)) < 0;
  }
  bool operator()(const NameBlock::Span& span, QStringView name) const {
    return compareNames(listed(span), name) < 0;
  }
};

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

SortedListBox::SortedListBox(QWidget* parent) : QListView(parent), model_(new NameListModel(this)) {
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
  const NameBlock& names = model_->names();
  const std::vector<NameBlock::Span>& spans = names.spans();
  // After every name that sorts before it or equal to it.
  const auto after =
      std::upper_bound(spans.begin(), spans.end(), QStringView(name), ListedOrder{names.text()});
  model_->insertName(static_cast<int>(after - spans.begin()), name);
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

void SortedListBox::removeName(const QString& name) {
  // Names equal to this one lie in the run of those equal but for case.
  const NameBlock& names = model_->names();
  const std::vector<NameBlock::Span>& spans = names.spans();
  const auto [first, last] =
      std::equal_range(spans.begin(), spans.end(), QStringView(name), ListedOrder{names.text()});
  for (auto row = static_cast<int>(last - spans.begin()) - 1;
       row >= static_cast<int>(first - spans.begin()); --row)
    if (names.at(row) == name) removeNameAt(row);
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
