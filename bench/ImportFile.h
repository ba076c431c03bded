// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace ombrel::bench {

// The CSV file an import benchmark reads, beside the generated entry file.
inline constexpr std::string_view kImportFile = "import.csv";

// Writes kImportFile into the data directory: `count` logins of another
// generated entry file (another seed, so some names are taken and some logins
// come back renamed), as the program's own export writes them in KeePassXC's
// format. Leaves a file made for the same count alone. True when it wrote it.
bool prepareImportFile(const std::filesystem::path& directory, std::size_t count);

}  // namespace ombrel::bench
