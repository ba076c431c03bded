// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "audit/CommandText.h"
#include "audit/StoredEntries.h"

namespace ombrel {

// Printing the entries for the command line: every name, or one entry.

// Every stored name, one a line, in file order, duplicates included; an
// unset name is an empty line.
CommandText listNames(const storage::DataDirectory& data);

enum class ShownField { All, Name, Url, User, Password, Notes };

// The field a --field option names: "name", "url", "user", "password" or
// "notes"; nullopt for any other word.
std::optional<ShownField> shownFieldNamed(QStringView word);

// What is printed of `entry`: one field alone (notes with their own line
// ends as LF, an unset field as an empty line, the URL that Open Site opens
// for the name), or the four fields labelled as the window labels its boxes,
// each line of the notes indented by two spaces.
QStringList entryLines(const Entry& entry, ShownField field);

// The first entry whose name equals `name`, found as the window finds it:
// the stored forms compared exactly, from the first record on, an empty name
// matching none. Not found: failed with "No entry is named NAME."
CommandText showEntry(const storage::DataDirectory& data, const QString& name, ShownField field);

}  // namespace ombrel
