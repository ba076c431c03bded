// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>

#include "interfaces/WindowState.h"
#include "text/NameOrder.h"

namespace ombrel::testing {

// The window's state without widgets: four boxes, a list in the list order and
// a background colour.
class FakeWindow : public WindowState {
 public:
  QString boxText(Box box) const override { return boxes_[index(box)]; }
  void setBoxText(Box box, const QString& text) override { boxes_[index(box)] = text; }

  int nameCount() const override { return static_cast<int>(names.size()); }
  QString nameAt(int i) const override { return names.at(i); }
  int selectedIndex() const override { return selected; }
  void setSelectedIndex(int i) override { selected = i; }
  void addName(const QString& name) override {
    names.insert(std::upper_bound(names.begin(), names.end(), name, NameBefore()), name);
  }
  void addNames(NameBlock more) override {
    ++bulkLoads;
    for (qsizetype i = 0; i < more.size(); ++i) addName(more.at(i).toString());
  }
  void removeName(const QString& name) override {
    const auto [first, last] = std::equal_range(names.begin(), names.end(), name, NameBefore());
    names.erase(std::remove(first, last, name), last);
  }
  void clearNames() override { names.clear(); }
  void setBackgroundColour(std::int32_t value) override {
    if (value >= 0 && value <= 0xFFFFFF) colour = value;
  }
  // Fills the boxes as a user would before a command.
  void show(const QString& web, const QString& user = {}, const QString& password = {},
            const QString& notes = {}) {
    setBoxText(Box::Web, web);
    setBoxText(Box::User, user);
    setBoxText(Box::Password, password);
    setBoxText(Box::Notes, notes);
  }

  QStringList names;
  int selected = -1;
  std::int32_t colour = 0xFFFFFF;
  int bulkLoads = 0;

 private:
  static std::size_t index(Box box) { return static_cast<std::size_t>(box); }
  std::array<QString, 4> boxes_;
};

}  // namespace ombrel::testing
