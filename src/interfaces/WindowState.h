// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "text/NameBlock.h"

namespace ombrel {

// The detail boxes of the window.
enum class Box {
  Web,       // lblw: the entry's web address, which is also its name
  User,      // lblu
  Password,  // lblp
  Notes,     // Text1
};

// What the commands read and change of the window: its boxes, its list and
// its colour. The real window implements this, and the command tests use a
// plain stand-in.
class WindowState {
 public:
  virtual ~WindowState() = default;

  virtual QString boxText(Box box) const = 0;
  virtual void setBoxText(Box box, const QString& text) = 0;

  // The entry list: plain names kept in the list order (seams/NameOrder.h);
  // names equal but for case keep the order in which they were added.
  virtual int nameCount() const = 0;
  virtual QString nameAt(int index) const = 0;
  virtual int selectedIndex() const = 0;  // -1 when nothing is selected
  // Picks a name without showing it: the boxes are left as they are.
  virtual void setSelectedIndex(int index) = 0;
  virtual void addName(const QString& name) = 0;
  virtual void addNames(NameBlock names) = 0;  // in bulk, one repaint
  // Removes every item that is exactly `name`.
  virtual void removeName(const QString& name) = 0;
  virtual void clearNames() = 0;

  // A colour value red + 256 * green + 65536 * blue. A value outside
  // 0..0xFFFFFF is not a colour and leaves the background as it is.
  virtual void setBackgroundColour(std::int32_t value) = 0;
};

}  // namespace ombrel
