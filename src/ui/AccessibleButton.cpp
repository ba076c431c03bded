// SPDX-License-Identifier: MIT
#include "ui/AccessibleButton.h"

#include <QAccessibleWidget>
#include <functional>
#include <utility>

#include "ui/ImageButton.h"
#include "ui/PictureBox.h"

namespace ombrel {

namespace {

// The name, description, focus and visibility stay QAccessibleWidget's, read
// from the widget; only the role and the Press action are added.
class AccessibleButton : public QAccessibleWidget {
 public:
  AccessibleButton(QWidget* widget, std::function<void()> click)
      : QAccessibleWidget(widget, QAccessible::Button), click_(std::move(click)) {}

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& actionName) override {
    if (actionName != pressAction()) {
      QAccessibleWidget::doAction(actionName);
      return;
    }
    // A disabled button ignores the mouse, so it ignores the action too.
    if (widget()->isEnabled()) click_();
  }

 private:
  std::function<void()> click_;
};

QAccessibleInterface* buttonFactory(const QString&, QObject* object) {
  if (auto* image = qobject_cast<ImageButton*>(object))
    return new AccessibleButton(image, [image] { image->click(); });
  if (auto* swatch = qobject_cast<PictureBox*>(object))
    return new AccessibleButton(swatch, [swatch] { swatch->click(); });
  return nullptr;
}

}  // namespace

void installAccessibleButtons() {
  static const bool installed = [] {
    QAccessible::installFactory(buttonFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace ombrel
