// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace ombrel::bench {

// Entry files that look like a long-used real one: web addresses of several
// shapes and letter cases, user names and e-mail addresses, 16-character
// passwords drawn from all printable characters (quotes and commas included),
// notes with and without line breaks, unset user names and passwords as New
// leaves them, empty and unset notes as New and Save leave them, and a few
// names stored twice. The same count and seed always give the same bytes, and
// the last record's name is stored nowhere else in the file, so looking it up
// reads the whole file.
struct GeneratedFile {
  std::string bytes;  // the entry file, in its stored form
  std::size_t records = 0;
  std::size_t duplicateNames = 0;  // records whose name an earlier record has
  std::size_t multiLineNotes = 0;
  std::size_t unsetUserNames = 0;
  std::size_t unsetPasswords = 0;
  std::size_t emptyNotes = 0;  // "" as New writes it
  std::size_t unsetNotes = 0;  // nothing, as Save writes an empty box
};

inline constexpr std::uint64_t kDefaultSeed = 20261208;

GeneratedFile generateEntries(std::size_t count, std::uint64_t seed = kDefaultSeed);

// A data directory for `count` entries: passwords.dat from generateEntries and
// a pw.dat holding the no-password marker, so that start-up asks nothing.
// Leaves the directory alone when a stamp file shows it was made with the same
// count and seed and passwords.dat still has the size it was written with.
// Returns true when it wrote the files.
bool prepareDataDirectory(const std::filesystem::path& directory, std::size_t count,
                          std::uint64_t seed = kDefaultSeed);

}  // namespace ombrel::bench
