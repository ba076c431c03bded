// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

#include "interfaces/Dialogs.h"

class QInputDialog;
class QMessageBox;
class QWidget;

namespace ombrel {

class PasswordPrompt;

// The message box for `style` (buttons, icon and default button), before it
// is shown; an empty `title` gives the application title.
std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int style, const QString& title,
                                            QWidget* parent = nullptr);
// What the box returns for the button it was closed with: kYes, kNo or kOk.
int messageResult(const QMessageBox& box);

// The one-line prompt, in clear text, with an empty input line.
std::unique_ptr<QInputDialog> makeInputBox(const QString& prompt, const QString& title,
                                           QWidget* parent = nullptr);
// The same prompt for a password.
std::unique_ptr<PasswordPrompt> makePasswordBox(const QString& prompt, const QString& title,
                                                QWidget* parent = nullptr);

// The real dialogs, on Qt's QMessageBox and QInputDialog, and a prompt of
// our own for passwords.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  int messageBox(const QString& text, int style, const QString& title = QString()) override;
  QString inputBox(const QString& prompt, const QString& title) override;
  QString passwordBox(const QString& prompt, const QString& title) override;

 private:
  QWidget* parent_;
};

}  // namespace ombrel
