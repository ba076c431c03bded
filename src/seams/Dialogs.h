// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace ombrel {

// Message-box styles: buttons + icon + default button, as the program uses them.
enum MessageStyle : int {
  kPlainOk = 0,         // OK, no icon
  kCriticalOk = 16,     // OK, critical icon
  kWarningOk = 48,      // OK, warning icon
  kInformationOk = 64,  // OK, information icon
  kConfirm = 276,       // Yes and No, critical icon, No is the default
};

// What a message box returns.
enum MessageResult : int { kOk = 1, kYes = 6, kNo = 7 };

// The application title a message box carries when it is given none.
inline const char* const kApplicationTitle = "ombrel";

// The two modal dialogs through which commands speak to the user. Tests
// replace them with scripted answers.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows `text` with the given style; an empty `title` shows the application
  // title. Returns kOk, kYes or kNo.
  virtual int messageBox(const QString& text, int style, const QString& title = QString()) = 0;

  // Asks for one line of text, shown in clear. Returns the text exactly as
  // typed on OK, and the empty text on Cancel.
  virtual QString inputBox(const QString& prompt, const QString& title) = 0;

  // The warning every command gives when it cannot do what was asked.
  void warn(const QString& text) { messageBox(text, kWarningOk, QStringLiteral("Ombrel")); }
};

}  // namespace ombrel
