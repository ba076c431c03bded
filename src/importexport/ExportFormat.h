// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace ombrel {

// The CSV formats an export writes, each as its program's importer expects it.
enum class ExportFormat { KeePassXC, Bitwarden, Chrome };

// The name the command line gives each format: "--format keepassxc".
inline constexpr std::array<std::pair<std::string_view, ExportFormat>, 3> kExportFormatNames{{
    {"keepassxc", ExportFormat::KeePassXC},
    {"bitwarden", ExportFormat::Bitwarden},
    {"chrome", ExportFormat::Chrome},
}};

inline std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
  for (const auto& [known, format] : kExportFormatNames)
    if (known == name) return format;
  return std::nullopt;
}

inline std::string_view exportFormatName(ExportFormat format) {
  for (const auto& [name, known] : kExportFormatNames)
    if (known == format) return name;
  return {};
}

}  // namespace ombrel
