#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "storage/Status.h"

namespace ombrel::storage {

inline constexpr std::string_view kEntryFile = "passwords.dat";
inline constexpr std::string_view kTempEntryFile = "passwords2.dat";
inline constexpr std::string_view kPasswordFile = "pw.dat";
inline constexpr std::string_view kColourFile = "pwclr.dat";
inline constexpr std::string_view kHelpFile = "help.htm";

// Reads the whole file into `out`. Fails when it is missing, is not an
// ordinary file, or cannot be read.
Status readWholeFile(const std::filesystem::path& path, std::string& out);

// Appends `bytes` to the file, creating it (owner read/write only) when it is
// missing, and flushes it to disk.
Status appendToFile(const std::filesystem::path& path, std::string_view bytes);

// Who may read the file that replaces another.
enum class Permissions {
  KeepTarget,  // those of the file replaced; owner read/write when there is none
  OwnerOnly,   // owner read/write, whatever the file replaced allowed
};

// Replaces `target` with a file holding `bytes` without a moment in which
// neither version exists: the bytes go to `temp` (created afresh), which is
// flushed to disk and renamed over `target`; then the directory is flushed.
// On failure `target` is as it was and `temp` is removed.
Status replaceFile(const std::filesystem::path& target, const std::filesystem::path& temp,
                   std::string_view bytes, Permissions permissions = Permissions::KeepTarget);

// Removes the file; fails when it is missing.
Status removeFile(const std::filesystem::path& path);

// Presence test: true when `path` names an ordinary file (a folder of that
// name, or a hidden file, counts as absent).
bool isPresentFile(const std::filesystem::path& path);

}  // namespace ombrel::storage
