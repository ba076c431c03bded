// SPDX-License-Identifier: MIT
#include "importexport/OutputDialogs.h"

#include "importexport/CommandOutput.h"

namespace ombrel {

int OutputDialogs::messageBox(const QString& text, int style, const QString&) {
  output_.notice(text);
  // No one is there to say Yes: a question is answered with its safe default.
  return style == kConfirm ? kNo : kOk;
}

QString OutputDialogs::inputBox(const QString&, const QString&) { return QString(); }

QString OutputDialogs::passwordBox(const QString&, const QString&) { return QString(); }

}  // namespace ombrel
