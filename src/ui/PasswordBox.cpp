// SPDX-License-Identifier: MIT
#include "ui/PasswordBox.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleHints>

namespace ombrel {

PasswordBox::PasswordBox(const QString& text, QWidget* parent, std::chrono::milliseconds clearDelay)
    : QLineEdit(text, parent), copy_(clearDelay) {}

void PasswordBox::copySecret() {
  // As QLineEdit's copy(): a masked text is not given away.
  if (echoMode() == QLineEdit::Normal) copy_.put(selectedText());
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
  QMenu* menu = createContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// The items, words, icons and states of QLineEdit's own menu, so that the
// box's menu reads as every other one; the words are QLineEdit's, so Qt's
// translations of its menu serve this one too. Left out is the submenu of
// Unicode control characters that Qt adds for right-to-left writing: its
// class is private to Qt.
QMenu* PasswordBox::createContextMenu() {
  auto* menu = new QMenu(this);
  const bool editable = !isReadOnly();
  const bool copyable = hasSelectedText() && echoMode() == QLineEdit::Normal;
  const auto add = [this, menu](const char* icon, const QString& text,
                                QKeySequence::StandardKey key, bool enabled, auto slot) {
    QString caption = text;
    if (key != QKeySequence::UnknownKey &&
        QGuiApplication::styleHints()->showShortcutsInContextMenus())
      caption += QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(icon));
    action->setIcon(QIcon::fromTheme(QLatin1String(icon)));
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, slot);
  };
  if (editable) {
    add("edit-undo", QLineEdit::tr("&Undo"), QKeySequence::Undo, isUndoAvailable(),
        &QLineEdit::undo);
    add("edit-redo", QLineEdit::tr("&Redo"), QKeySequence::Redo, isRedoAvailable(),
        &QLineEdit::redo);
    menu->addSeparator();
    add("edit-cut", QLineEdit::tr("Cu&t"), QKeySequence::Cut, copyable, &PasswordBox::cutSecret);
  }
  add("edit-copy", QLineEdit::tr("&Copy"), QKeySequence::Copy, copyable, &PasswordBox::copySecret);
  if (editable) {
    add("edit-paste", QLineEdit::tr("&Paste"), QKeySequence::Paste,
        !QGuiApplication::clipboard()->text().isEmpty(), &QLineEdit::paste);
    add("edit-delete", QLineEdit::tr("Delete"), QKeySequence::UnknownKey, hasSelectedText(),
        &QLineEdit::del);
  }
  menu->addSeparator();
  const bool allSelected = hasSelectedText() && selectedText().size() == text().size();
  // Qt 6.4's selectAll() offers no PRIMARY, unlike the keys and the mouse;
  // the box does not count on that staying so.
  add("select-all", QLineEdit::tr("Select All"), QKeySequence::SelectAll,
      !text().isEmpty() && !allSelected, [this] { withoutPrimary([this] { selectAll(); }); });
  return menu;
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

}  // namespace ombrel
