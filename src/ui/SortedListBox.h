#pragma once

#include <QListWidget>
#include <QStringList>

namespace ombrel {

// A single-selection list that keeps its names sorted without regard to case
// (QString::compare with Qt::CaseInsensitive, the same whatever the locale).
// Names equal but for case stay in the order in which they were added.
//
// userSelectionChanged() reports the selection changes the user makes with
// the mouse or the keyboard; the list's own operations below never raise it.
class SortedListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit SortedListBox(QWidget* parent = nullptr);

  // Inserts one name after every name that sorts before it or equal to it.
  void addName(const QString& name);
  // Inserts many names at once, as addName would one by one, in one pass.
  void addNames(const QStringList& names);
  void removeNameAt(int index);
  void clearNames();

  QString nameAt(int index) const;
  int selectedIndex() const;  // -1 when nothing is selected

  // The order of the list: negative when `a` sorts before `b`. The same order
  // as QString::compare(a, b, Qt::CaseInsensitive), with the common ASCII
  // prefix compared directly because start-up sorts every name with it.
  static int compareNames(const QString& a, const QString& b);

 signals:
  void userSelectionChanged();

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  void onSelectionChanged();

  int programmatic_ = 0;  // > 0 while the list changes itself
};

}  // namespace ombrel
