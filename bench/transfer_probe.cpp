// SPDX-License-Identifier: MIT
// ombrel_transfer_probe import|export DATA_DIR WORK_DIR
//
// Runs one import or export as the command line does, in a fresh process, and
// prints one JSON line: the peak resident memory of the process, the time the
// command took and the size of the entry file it leaves (import) or reads
// (export). The import copies DATA_DIR's entry file into WORK_DIR and imports
// DATA_DIR/import.csv into it; the export writes WORK_DIR/export.csv.
// One process per run, so that each peak is its own.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "BenchSupport.h"
#include "ImportFile.h"
#include "importexport/CsvFormats.h"
#include "importexport/LoginExport.h"
#include "importexport/LoginImport.h"
#include "storage/DataDirectory.h"

namespace {

namespace fs = std::filesystem;

bool run(std::string_view mode, const fs::path& data, const fs::path& work,
         ombrel::bench::QuietOutput& output) {
  if (mode == "import")
    return ombrel::importLogins(ombrel::storage::DataDirectory(work.string()),
                                data / ombrel::bench::kImportFile, "import.csv", output)
        .ok();
  return ombrel::exportLogins(ombrel::storage::DataDirectory(data.string()), work / "export.csv",
                              "export.csv", ombrel::defaultExportFormat(), output)
      .ok();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc == 4 ? argv[1] : "";
  if (mode != "import" && mode != "export") {
    std::fprintf(stderr, "usage: %s import|export DATA_DIR WORK_DIR\n", argv[0]);
    return 2;
  }
  try {
    const fs::path data = argv[2], work = argv[3];
    fs::create_directories(work);
    fs::remove(work / "export.csv");
    if (mode == "import")
      fs::copy_file(data / "passwords.dat", work / "passwords.dat",
                    fs::copy_options::overwrite_existing);
    ombrel::bench::QuietOutput output;
    const auto started = std::chrono::steady_clock::now();
    run(mode, data, work, output);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const fs::path entryFile = (mode == "import" ? work : data) / "passwords.dat";
    std::printf(
        "{\"max_rss_kib\": %ld, \"ms\": %.1f, \"entry_file_bytes\": %ju, \"report\": \"%s\"}\n",
        usage.ru_maxrss, ms, fs::file_size(entryFile), output.lastReport.toStdString().c_str());
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
