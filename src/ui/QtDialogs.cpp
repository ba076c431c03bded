// SPDX-License-Identifier: MIT
#include "ui/QtDialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace ombrel {

namespace {

// A style number adds up three fields: the button set in the lowest digit,
// the icon in the next, the default button in the one after.
constexpr int kButtonsMask = 0x0F;
constexpr int kYesNoButtons = 4;
constexpr int kIconMask = 0xF0;
constexpr int kCriticalIcon = 16;
constexpr int kQuestionIcon = 32;
constexpr int kWarningIcon = 48;
constexpr int kInformationIcon = 64;
constexpr int kDefaultButtonMask = 0xF00;
constexpr int kSecondButtonDefault = 256;

QMessageBox::Icon iconOf(int style) {
  switch (style & kIconMask) {
    case kCriticalIcon:
      return QMessageBox::Critical;
    case kQuestionIcon:
      return QMessageBox::Question;
    case kWarningIcon:
      return QMessageBox::Warning;
    case kInformationIcon:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QString titleOr(const QString& title) {
  return title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title;
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int style, const QString& title,
                                            QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(titleOr(title));
  box->setText(text);
  box->setTextFormat(Qt::PlainText);  // texts are shown as they are, never as markup
  box->setIcon(iconOf(style));
  if ((style & kButtonsMask) == kYesNoButtons) {
    QPushButton* yes = box->addButton(QMessageBox::Yes);
    QPushButton* no = box->addButton(QMessageBox::No);
    const bool secondIsDefault = (style & kDefaultButtonMask) == kSecondButtonDefault;
    box->setDefaultButton(secondIsDefault ? no : yes);
    box->setEscapeButton(no);  // Escape and the close button answer No
  } else {
    QPushButton* ok = box->addButton(QMessageBox::Ok);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
  }
  return box;
}

int messageResult(const QMessageBox& box) {
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
      return kYes;
    case QMessageBox::No:
      return kNo;
    default:
      return kOk;
  }
}

std::unique_ptr<QInputDialog> makeInputBox(const QString& prompt, const QString& title,
                                           QWidget* parent) {
  auto dialog = std::make_unique<QInputDialog>(parent);
  dialog->setInputMode(QInputDialog::TextInput);
  dialog->setTextEchoMode(QLineEdit::Normal);  // passwords too are typed in clear
  dialog->setWindowTitle(titleOr(title));
  dialog->setLabelText(prompt);
  dialog->setTextValue(QString());
  return dialog;
}

int QtDialogs::messageBox(const QString& text, int style, const QString& title) {
  std::unique_ptr<QMessageBox> box = makeMessageBox(text, style, title, parent_);
  box->exec();
  return messageResult(*box);
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title) {
  std::unique_ptr<QInputDialog> dialog = makeInputBox(prompt, title, parent_);
  if (dialog->exec() != QDialog::Accepted) return QString();
  return dialog->textValue();
}

}  // namespace ombrel
