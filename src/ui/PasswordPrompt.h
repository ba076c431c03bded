// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>
#include <chrono>

#include "ui/SecretCopy.h"

class QLabel;

namespace ombrel {

class PasswordBox;

// The one-line prompt for a password. It looks and answers as the other
// prompts do, the text shown in clear, but the line is a password box: what
// is selected there is offered to no other program, and a copy is a secret
// copy, taken back at the latest when the prompt closes.
class PasswordPrompt : public QDialog {
  Q_OBJECT

 public:
  PasswordPrompt(const QString& prompt, const QString& title, QWidget* parent = nullptr,
                 std::chrono::milliseconds clearDelay = SecretCopy::kDefaultClearDelay);

  QString labelText() const;
  QString textValue() const;
  PasswordBox* line() const { return line_; }

  void done(int result) override;

 private:
  QLabel* label_;
  PasswordBox* line_;
};

}  // namespace ombrel
