// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <vector>

#include "audit/CommandText.h"
#include "audit/StoredEntries.h"

namespace ombrel {

// Passwords with a lower estimate than this are weak: KeePassXC's health
// check draws the line at the same place on the same scale.
inline constexpr double kWeakBelowBits = 65.0;

// zxcvbn's estimate of the password's strength in bits, of its UTF-8 bytes.
double passwordBits(const QString& password);

// What to fix, under one heading each, names in file order: passwords that
// two or more entries share (one line a group), weak ones (with their
// estimate in whole bits), empty or unset ones, and entries named by an
// unencrypted web address. A heading with nothing under it is left out; the
// last line counts the lines under the headings and the entries. Never
// prints a password. Ends as found when it lists anything.
CommandText healthReport(const std::vector<Entry>& entries);

// healthReport() of the data directory's entries.
CommandText healthReport(const storage::DataDirectory& data);

}  // namespace ombrel
