// SPDX-License-Identifier: MIT
// Writes one data directory per entry count under a root folder:
//   make_bench_data ROOT 0 100 1000 10000
// gives ROOT/0, ROOT/100, ... each with passwords.dat and pw.dat, and
// import.csv with as many other logins for the import. Files already made for
// the same count are left as they are.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "EntryGenerator.h"
#include "ImportFile.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s ROOT COUNT...\n", argv[0]);
    return 2;
  }
  const std::filesystem::path root = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string_view text = argv[i];
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size()) {
      std::fprintf(stderr, "not an entry count: %s\n", argv[i]);
      return 2;
    }
    const auto directory = root / std::string(text);
    try {
      if (ombrel::bench::prepareDataDirectory(directory, count)) {
        std::printf("generated %zu entries (%ju bytes) in %s\n", count,
                    std::filesystem::file_size(directory / "passwords.dat"), directory.c_str());
      }
      if (ombrel::bench::prepareImportFile(directory, count)) {
        std::printf("generated %zu logins to import (%ju bytes) in %s\n", count,
                    std::filesystem::file_size(directory / ombrel::bench::kImportFile),
                    directory.c_str());
      }
    } catch (const std::exception& failure) {
      std::fprintf(stderr, "%s\n", failure.what());
      return 1;
    }
  }
  return 0;
}
