// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>

#include "storage/Status.h"

namespace ombrel {

// "<what>: <path>: <reason>." — a message that names the file and the reason.
QString fileProblem(const QString& what, const std::filesystem::path& path,
                    const storage::Status& status);

QString displayPath(const std::filesystem::path& path);

// The message for an entry file that ends inside an entry, `tailBytes` after
// the last whole one (0: not known), which Ombrel leaves as it is.
QString damagedEntryFile(const std::filesystem::path& path, std::size_t tailBytes,
                         const QString& consequence);

// The message for a text holding a character that the data files cannot carry.
QString unstorableCharacter(const QString& character, const QString& consequence);

}  // namespace ombrel
