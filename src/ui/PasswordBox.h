// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <chrono>
#include <functional>

#include "ui/SecretCopy.h"

class QMenu;

namespace ombrel {

// A one-line box for a password shown in clear, which keeps the password
// from the other programs of the desktop as far as the desktop allows.
//
// A QLineEdit offers whatever is selected in it as the X11 PRIMARY
// selection, which any program may read and a middle click pastes anywhere.
// This box never lets that offer stand. Its copies are secret copies: marked,
// and taken back after a while and when the box goes.
class PasswordBox : public QLineEdit {
  Q_OBJECT

 public:
  // A copy stays on the clipboard for clearDelay at most.
  explicit PasswordBox(const QString& text, QWidget* parent = nullptr,
                       std::chrono::milliseconds clearDelay = SecretCopy::kDefaultClearDelay);

  // The box's own context menu, with the items of QLineEdit's standard one.
  // Its Cut and Copy are the box's: the standard menu's call QLineEdit's
  // copy() and cut() through connections that Qt makes as it sees fit, and
  // no later change of them can be relied on to take.
  QMenu* createContextMenu();

 public slots:
  // QLineEdit's copy() and cut() are not virtual; these stand for them in
  // every way the box offers them.
  void copySecret();
  void cutSecret();
  // Takes back the box's copy, if it is still on the clipboard.
  void clearCopy() { copy_.clearCopy(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void withoutPrimary(const std::function<void()>& handler);

  SecretCopy copy_;
};

}  // namespace ombrel
