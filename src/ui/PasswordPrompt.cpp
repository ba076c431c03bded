// SPDX-License-Identifier: MIT
#include "ui/PasswordPrompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/PasswordBox.h"

namespace ombrel {

// Laid out as QInputDialog lays out its text prompt, which cannot be given a
// line edit of another kind.
PasswordPrompt::PasswordPrompt(const QString& prompt, const QString& title, QWidget* parent,
                               std::chrono::milliseconds clearDelay)
    : QDialog(parent),
      label_(new QLabel(prompt, this)),
      line_(new PasswordBox(QString(), this, clearDelay)) {
  setWindowTitle(title);
  label_->setTextFormat(Qt::PlainText);
  label_->setBuddy(line_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
  layout->addWidget(label_);
  layout->addWidget(line_);
  layout->addWidget(buttons);
  line_->setFocus();
}

QString PasswordPrompt::labelText() const { return label_->text(); }

QString PasswordPrompt::textValue() const { return line_->text(); }

void PasswordPrompt::done(int result) {
  // A password copied from the prompt stays on the clipboard no longer than
  // the question that asked for it.
  line_->clearCopy();
  QDialog::done(result);
}

}  // namespace ombrel
