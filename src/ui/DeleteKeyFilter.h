// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace ombrel {

// Lets the window's Del shortcut fire while a text box has the focus.
//
// Text boxes claim the Delete key in their ShortcutOverride handling, so the
// window shortcut would never fire and the key would delete a character
// instead. Installed on a text box, this filter swallows that
// ShortcutOverride event without accepting it: the shortcut runs and no
// character is deleted.
class DeleteKeyFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ombrel
