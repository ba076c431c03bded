// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>

class QMimeData;

namespace ombrel {

// A one-line box for a password shown in clear, which keeps the password
// from the other programs of the desktop as far as the desktop allows.
//
// A QLineEdit offers whatever is selected in it as the X11 PRIMARY
// selection, which any program may read and a middle click pastes anywhere.
// This box never lets that offer stand. Its copies go to the clipboard marked
// as secret, so that clipboard managers do not keep them in their history,
// and are taken back after a while and when the box goes, unless the user
// has copied something else since.
class PasswordBox : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kDefaultClearDelay = std::chrono::seconds(30);

  // A copy stays on the clipboard for clearDelay at most.
  explicit PasswordBox(const QString& text, QWidget* parent = nullptr,
                       std::chrono::milliseconds clearDelay = kDefaultClearDelay);
  ~PasswordBox() override;

 public slots:
  // QLineEdit's copy() and cut() are not virtual; these stand for them in
  // every way the box offers them.
  void copySecret();
  void cutSecret();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void withoutPrimary(const std::function<void()>& handler);
  void clearCopy();

  QPointer<QMimeData> copy_;  // what we last put on the clipboard, while it is there
  QTimer clearTimer_;
};

}  // namespace ombrel
