// SPDX-License-Identifier: MIT
#include "ui/QtDialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "ui/PasswordPrompt.h"

namespace ombrel {

namespace {

QMessageBox::Icon iconOf(int style) {
  switch (style & message::kIconMask) {
    case message::kCriticalIcon:
      return QMessageBox::Critical;
    case message::kQuestionIcon:
      return QMessageBox::Question;
    case message::kWarningIcon:
      return QMessageBox::Warning;
    case message::kInformationIcon:
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
  if ((style & message::kButtonsMask) == message::kYesNoButtons) {
    QPushButton* yes = box->addButton(QMessageBox::Yes);
    QPushButton* no = box->addButton(QMessageBox::No);
    const bool secondIsDefault =
        (style & message::kDefaultButtonMask) == message::kSecondButtonDefault;
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
  dialog->setTextEchoMode(QLineEdit::Normal);
  dialog->setWindowTitle(titleOr(title));
  dialog->setLabelText(prompt);
  dialog->setTextValue(QString());
  return dialog;
}

std::unique_ptr<PasswordPrompt> makePasswordBox(const QString& prompt, const QString& title,
                                                QWidget* parent) {
  return std::make_unique<PasswordPrompt>(prompt, titleOr(title), parent);
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

QString QtDialogs::passwordBox(const QString& prompt, const QString& title) {
  std::unique_ptr<PasswordPrompt> dialog = makePasswordBox(prompt, title, parent_);
  if (dialog->exec() != QDialog::Accepted) return QString();
  return dialog->textValue();
}

}  // namespace ombrel
