// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>

class QMimeData;

namespace ombrel {

// A secret that its owner put on the clipboard, for a short while only.
//
// The copy goes marked as secret, so that clipboard managers do not keep it
// in their history. It is taken back after a while, when its owner goes and
// when the program ends, unless the user has copied something else since.
class SecretCopy : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kDefaultClearDelay = std::chrono::seconds(30);

  // A copy stays on the clipboard for clearDelay at most.
  explicit SecretCopy(std::chrono::milliseconds clearDelay = kDefaultClearDelay,
                      QObject* parent = nullptr);
  ~SecretCopy() override;

  // Puts `text` on the clipboard in place of whatever is there; an empty
  // text puts nothing.
  void put(const QString& text);

  // Takes the copy back, if it is still on the clipboard.
  void clearCopy();

 private:
  QPointer<QMimeData> copy_;  // what we last put on the clipboard, while it is there
  QTimer clearTimer_;
};

}  // namespace ombrel
