// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>
#include <string_view>

#include "storage/Status.h"

namespace ombrel {

// Names of the files that take the place of pw.dat and pwclr.dat when they are
// replaced; they only exist for the moment of a replacement.
inline constexpr std::string_view kPasswordFileNew = "pw.dat.new";
inline constexpr std::string_view kColourFileNew = "pwclr.dat.new";

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
