// SPDX-License-Identifier: MIT
#pragma once

#include "interfaces/Dialogs.h"

namespace ombrel {

class CommandOutput;

// The dialogs of the commands the import shares with the window (the write
// lock's warning) as messages of the command line: a message box becomes a
// notice, and nothing is ever asked.
class OutputDialogs : public Dialogs {
 public:
  explicit OutputDialogs(CommandOutput& output) : output_(output) {}

  int messageBox(const QString& text, int style, const QString& title = QString()) override;
  QString inputBox(const QString& prompt, const QString& title) override;
  QString passwordBox(const QString& prompt, const QString& title) override;

 private:
  CommandOutput& output_;
};

}  // namespace ombrel
