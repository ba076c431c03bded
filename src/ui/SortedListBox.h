// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

#include "text/NameBlock.h"

namespace ombrel {

// The names behind the list, one row each, in the list's order, kept in one
// block of text: filling the list with a hundred thousand names then costs
// about what sorting them does.
class NameListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const NameBlock& names() const { return names_; }
  void insertName(int row, QStringView name);
  void removeName(int row);
  void resetNames(NameBlock names);

 private:
  NameBlock names_;
};

// A single-selection list that keeps its names in the list order (see
// compareNames). Names equal but for case stay in the order in which they were
// added.
//
// userSelectionChanged() reports the selection changes the user makes with
// the mouse or the keyboard; the list's own operations below never raise it.
class SortedListBox : public QListView {
  Q_OBJECT

 public:
  explicit SortedListBox(QWidget* parent = nullptr);

  // Inserts one name after every name that sorts before it or equal to it.
  void addName(const QString& name);
  // Inserts many names at once, as addName would one by one, in one pass.
  void addNames(NameBlock names);
  void removeNameAt(int index);
  // Removes every item that is exactly `name`.
  void removeName(const QString& name);
  void clearNames();

  int count() const { return static_cast<int>(model_->names().size()); }
  QString nameAt(int index) const;
  int selectedIndex() const;  // -1 when nothing is selected

  // Picks a row as a click on it would, or nothing for -1. Unlike the list's
  // own changes, this reports userSelectionChanged().
  void setCurrentRow(int row);
  // The same without reporting it, for the list's owner changing it itself.
  void setCurrentRowSilently(int row);
  QRect nameRect(int row) const;  // where the row is drawn, in viewport coordinates

 signals:
  void userSelectionChanged();

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  void onSelectionChanged();

  NameListModel* model_;
  int programmatic_ = 0;  // > 0 while the list changes itself
};

}  // namespace ombrel
