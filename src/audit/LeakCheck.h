// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>
#include <vector>

#include "audit/CommandText.h"
#include "audit/LeakList.h"
#include "audit/StoredEntries.h"

namespace ombrel {

// The SHA-1 of the password's UTF-8 bytes, as the leak lists are made.
Sha1 passwordHash(const QString& password);

// Looks up every stored password that is not empty in the leak list `list`
// (named `shownList` to the user): one line "NAME: seen COUNT times" for each
// entry whose password the list holds, in file order, then "K of N passwords
// found in FILE." On standard error it says how the list was read. Never
// prints a password. Ends as found when any password was found.
CommandText leakCheck(const std::vector<Entry>& entries, const std::filesystem::path& list,
                      const QString& shownList, const LeakSearchOptions& options = {});

// leakCheck() of the data directory's entries.
CommandText leakCheck(const storage::DataDirectory& data, const std::filesystem::path& list,
                      const QString& shownList);

}  // namespace ombrel
