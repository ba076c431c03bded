// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

#include "text/NameBlock.h"

namespace ombrel {

// The order of the entry list, the same in the window and wherever a list is
// kept in its place: without regard to case, the same whatever the locale.
// Negative when `a` sorts before `b`: the order of QString::compare(a, b,
// Qt::CaseInsensitive), with the common ASCII prefix compared directly.
int compareNames(QStringView a, QStringView b);

// `a` sorts before `b`, for the standard sorts and searches.
struct NameBefore {
  bool operator()(QStringView a, QStringView b) const { return compareNames(a, b) < 0; }
};

// Sorts a block into the list order. Names that compare equal keep the order
// in which they were added to the block.
void sortNames(NameBlock& names);

}  // namespace ombrel
