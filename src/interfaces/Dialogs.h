// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace ombrel {

// A message box's style adds up three parts, as the desktop's own message
// boxes number them: the buttons, the icon and which button is the default.
namespace message {
inline constexpr int kOkButton = 0;
inline constexpr int kYesNoButtons = 4;
inline constexpr int kButtonsMask = 0x0F;

inline constexpr int kNoIcon = 0;
inline constexpr int kCriticalIcon = 16;
inline constexpr int kQuestionIcon = 32;
inline constexpr int kWarningIcon = 48;
inline constexpr int kInformationIcon = 64;
inline constexpr int kIconMask = 0xF0;

inline constexpr int kFirstButtonDefault = 0;
inline constexpr int kSecondButtonDefault = 256;
inline constexpr int kDefaultButtonMask = 0xF00;
}  // namespace message

// The styles the program uses.
enum MessageStyle : int {
  kPlainOk = message::kOkButton | message::kNoIcon,
  kCriticalOk = message::kOkButton | message::kCriticalIcon,
  kWarningOk = message::kOkButton | message::kWarningIcon,
  kInformationOk = message::kOkButton | message::kInformationIcon,
  // Yes and No, critical icon, No the default: a question whose safe answer
  // is the one Enter gives.
  kConfirm = message::kYesNoButtons | message::kCriticalIcon | message::kSecondButtonDefault,
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

  // The same prompt for a password, also shown in clear. What is typed
  // there is kept from the other programs of the desktop: not offered as a
  // selection, and copied only as a secret that does not stay.
  virtual QString passwordBox(const QString& prompt, const QString& title) = 0;

  // The warning every command gives when it cannot do what was asked.
  void warn(const QString& text);
};

}  // namespace ombrel
