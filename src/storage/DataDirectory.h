// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ombrel::storage {

// The folder that holds every data file. It starts as the working directory
// and is changed at most once, by the legacy rule, at start-up.
class DataDirectory {
 public:
  explicit DataDirectory(std::string path) : path_(std::move(path)) {}

  // The process's current working directory.
  static DataDirectory fromWorkingDirectory();

  const std::string& path() const { return path_; }

  // The one old install location that is moved: exactly "C:\a\vb\VB98"
  // (case-sensitive, the whole text) becomes "C:\a".
  void applyLegacyRule();

  // The data directory joined with `fileName` by the platform's separator.
  std::filesystem::path file(std::string_view fileName) const;

 private:
  std::string path_;
};

}  // namespace ombrel::storage
