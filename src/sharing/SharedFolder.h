// SPDX-License-Identifier: MIT
#pragma once

#include <set>
#include <string>

#include "text/NameBlock.h"

namespace ombrel {

class Dialogs;
class WindowState;
namespace storage {
class DataDirectory;
}

// Lists the names of the entry file afresh after it changed on disk (another
// window, a sync tool, a restore). The picked name stays picked when it is
// still listed; the boxes are never touched, so nothing being typed is lost.
// While the entry file is missing the list stays as it is: a sync tool or a
// restore may be about to put it back. A read that fails keeps the list as it
// was too, and the user is told which file could not be read and why, once
// until a read succeeds again (`failureTold` keeps that between calls).
void followEntryFile(WindowState& window, const storage::DataDirectory& dataDirectory,
                     Dialogs& dialogs, bool& failureTold);

// Conflict copies already dealt with in this run: a declined or damaged copy
// is not asked about again until the next start.
using SettledCopies = std::set<std::string>;

// Offers to merge every conflict copy of the entry file lying in the data
// directory, and sets aside the conflict copies of pw.dat and pwclr.dat,
// keeping the current files. Every merge is one rewrite of the entry file
// under the write lock; a merged copy is renamed aside, never deleted.
// Returns the names of the entries the merges added, for the list.
NameBlock settleConflictCopies(const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
                               SettledCopies& settled);

}  // namespace ombrel
