// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

class QInputDialog;
class QMessageBox;
class QWidget;

namespace ombrel {

// Message-box styles: buttons + icon + default button, as the program uses them.
enum MessageStyle : int {
  kPlainOk = 0,           // OK, no icon
  kCriticalOk = 16,       // OK, critical icon
  kWarningOk = 48,        // OK, warning icon
  kInformationOk = 64,    // OK, information icon
  kConfirm = 276,         // Yes and No, critical icon, No is the default
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
};

// The message box for `style` (buttons, icon and default button), before it
// is shown; an empty `title` gives the application title.
std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int style, const QString& title,
                                            QWidget* parent = nullptr);
// What the box returns for the button it was closed with: kYes, kNo or kOk.
int messageResult(const QMessageBox& box);

// The one-line prompt, in clear text, with an empty input line.
std::unique_ptr<QInputDialog> makeInputBox(const QString& prompt, const QString& title,
                                           QWidget* parent = nullptr);

// The real dialogs, on Qt's QMessageBox and QInputDialog.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  int messageBox(const QString& text, int style, const QString& title = QString()) override;
  QString inputBox(const QString& prompt, const QString& title) override;

 private:
  QWidget* parent_;
};

}  // namespace ombrel
