// SPDX-License-Identifier: MIT
#include "storage/DataDirectory.h"

#include <system_error>

namespace ombrel::storage {

DataDirectory DataDirectory::fromWorkingDirectory() {
  std::error_code error;
  auto cwd = std::filesystem::current_path(error);
  return DataDirectory(error ? std::string(".") : cwd.string());
}

void DataDirectory::applyLegacyRule() {
  if (path_ == "C:\\a\\vb\\VB98") path_ = "C:\\a";
}

std::filesystem::path DataDirectory::file(std::string_view fileName) const {
  return std::filesystem::path(path_) / std::filesystem::path(fileName);
}

}  // namespace ombrel::storage
