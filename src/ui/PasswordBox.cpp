// SPDX-License-Identifier: MIT
#include "ui/PasswordBox.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "ui/WaylandClipboard.h"

namespace ombrel {

PasswordBox::PasswordBox(const QString& text, QWidget* parent, std::chrono::milliseconds clearDelay)
    : QLineEdit(text, parent) {
  clearTimer_.setSingleShot(true);
  clearTimer_.setInterval(clearDelay);
  connect(&clearTimer_, &QTimer::timeout, this, &PasswordBox::clearCopy);
  // As the program ends, Qt hands whatever it still has on the clipboard to
  // the desktop's clipboard manager, which would keep our copy for good. The
  // box normally goes before that; the end of the event loop covers a box
  // that outlives it.
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          &PasswordBox::clearCopy);
}

PasswordBox::~PasswordBox() { clearCopy(); }

void PasswordBox::copySecret() {
  const QString selected = selectedText();
  if (selected.isEmpty()) return;
  auto* data = new QMimeData;
  data->setText(selected);
  // The hint that KDE's clipboard manager set up and others follow: such a
  // copy may be pasted but is kept in no history.
  data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
  QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
  copy_ = data;
  clearTimer_.start();
}

void PasswordBox::cutSecret() {
  if (isReadOnly() || !hasSelectedText()) return;
  copySecret();
  del();
}

void PasswordBox::keyPressEvent(QKeyEvent* event) {
  // Besides copy and cut, X11's kill keys (Ctrl+K to the end, Ctrl+U the
  // whole line) put what they delete on the clipboard.
  if (event->matches(QKeySequence::Copy)) {
    copySecret();
  } else if (event->matches(QKeySequence::Cut)) {
    cutSecret();
  } else if (event->matches(QKeySequence::DeleteEndOfLine) && !isReadOnly()) {
    setSelection(cursorPosition(), text().size());
    cutSecret();
  } else if (event->matches(QKeySequence::DeleteCompleteLine) && !isReadOnly()) {
    selectAll();
    cutSecret();
  } else {
    // QLineEdit offers the selection after every other key that it handles.
    withoutPrimary([&] { QLineEdit::keyPressEvent(event); });
    return;
  }
  event->accept();
}

void PasswordBox::mouseReleaseEvent(QMouseEvent* event) {
  // A left release offers what the press, drag or clicks selected.
  withoutPrimary([&] { QLineEdit::mouseReleaseEvent(event); });
}

void PasswordBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // The menu's Cut and Copy call QLineEdit's own cut() and copy(), which
  // mark nothing. Qt gives the actions no names; their connections to those
  // slots tell them apart, whatever the language of the menu.
  for (QAction* action : menu->actions()) {
    if (disconnect(action, SIGNAL(triggered()), this, SLOT(copy())))
      connect(action, &QAction::triggered, this, &PasswordBox::copySecret);
    else if (disconnect(action, SIGNAL(triggered()), this, SLOT(cut())))
      connect(action, &QAction::triggered, this, &PasswordBox::cutSecret);
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// Runs one of QLineEdit's handlers and withdraws the PRIMARY selection if the
// handler offered ours. The offer is made deep inside QLineEdit, and the echo
// mode that would stop it would also hide the password. Withdrawn before the
// event loop runs again, it is never served: a request from another program
// that reached us meanwhile finds nothing to give and is refused.
void PasswordBox::withoutPrimary(const std::function<void()>& handler) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  bool offered = false;
  const QMetaObject::Connection watch =
      connect(clipboard, &QClipboard::selectionChanged, this, [&offered] { offered = true; });
  handler();
  disconnect(watch);
  if (offered) clipboard->clear(QClipboard::Selection);
}

// Takes our copy back unless the clipboard holds something else by now: a
// later copy, in this program or another, is the user's to keep. Asking for
// the clipboard's data asks the X server who owns it, so a copy made in
// another program counts even before Qt has been told of it.
void PasswordBox::clearCopy() {
  clearTimer_.stop();
  if (!copy_) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->mimeData(QClipboard::Clipboard) == copy_) {
    clipboard->clear(QClipboard::Clipboard);
    finishWaylandClipboardClear();
  }
  copy_.clear();
}

}  // namespace ombrel
