// SPDX-License-Identifier: MIT
#include "ImportFile.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "EntryGenerator.h"
#include "importexport/CsvExport.h"
#include "importexport/CsvFormats.h"
#include "storage/ByteStreams.h"
#include "storage/RecordReader.h"

namespace ombrel::bench {
namespace {

constexpr std::uint64_t kImportSeed = kDefaultSeed + 1;

std::string stampText(std::size_t count) {
  return "logins " + std::to_string(count) + " seed " + std::to_string(kImportSeed) + "\n";
}

std::string readSmallFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

bool prepareImportFile(const std::filesystem::path& directory, std::size_t count) {
  const auto file = directory / kImportFile;
  const auto stamp = directory / "import-generated.txt";
  if (std::filesystem::exists(file) && readSmallFile(stamp) == stampText(count)) return false;

  const GeneratedFile logins = generateEntries(count, kImportSeed);
  storage::MemorySource source(logins.bytes);
  storage::RecordReader reader(source);
  std::string csv;
  std::size_t exported = 0;
  if (!exportCsv(reader, defaultExportFormat(), csv, exported).ok() || exported != count)
    throw std::runtime_error("the generated logins could not be exported");
  writeFile(file, csv);
  writeFile(stamp, stampText(count));
  return true;
}

}  // namespace ombrel::bench
