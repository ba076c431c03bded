// SPDX-License-Identifier: MIT
// The import and export of the command line, and the baseline the import is
// held to: one copy-flush-rename of the entry file the import leaves.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "ImportFile.h"
#include "importexport/CsvFormats.h"
#include "importexport/LoginExport.h"
#include "importexport/LoginImport.h"
#include "storage/DataDirectory.h"

namespace ombrel::bench {
namespace {

void expect(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

// The generated logins come from the same vocabulary as the entry file, so
// some are renamed and a few clash; an import that imports nothing is an error.
void importInto(const DataSet& data, QuietOutput& output) {
  importLogins(storage::DataDirectory(data.work.string()), data.pristine / kImportFile,
               "import.csv", output);
  expect(output.lastReport.startsWith("Imported ") && !output.lastReport.startsWith("Imported 0 "),
         "the import imported nothing");
}

// N logins from a CSV file into an entry file of N entries: read, compared
// with every stored record, added in one rewrite.
void BM_Import(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  QuietOutput output;
  for (auto _ : state) {
    state.PauseTiming();
    resetWorkCopy(data);
    state.ResumeTiming();
    importInto(data, output);
  }
  state.SetLabel(output.lastReport.toStdString());
  resetWorkCopy(data);
}

// The least a safe rewrite of the file the import leaves costs.
void BM_CopyImported(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  resetWorkCopy(data);
  QuietOutput output;
  importInto(data, output);
  for (auto _ : state) copyFlushRename(data.work);
  state.SetBytesProcessed(static_cast<int64_t>(
      state.iterations() * std::filesystem::file_size(data.work / "passwords.dat")));
  resetWorkCopy(data);
}

// Every entry to a new CSV file in KeePassXC's format.
void BM_Export(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  const auto target = data.work / "export.csv";
  const storage::DataDirectory source(data.pristine.string());
  QuietOutput output;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    expect(exportLogins(source, target, "export.csv", defaultExportFormat(), output).ok(),
           "the export failed");
  }
  std::filesystem::remove(target);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.fileSize));
}

}  // namespace

void registerTransferBenchmarks(const BenchOptions& options) {
  for (std::size_t entries : options.sizes) {
    if (entries < kMinFileEntries) continue;
    const std::string size = std::to_string(entries);
    configure(
        benchmark::RegisterBenchmark(("import/" + size).c_str(), BM_Import, &options, entries));
    configure(benchmark::RegisterBenchmark(("copy_imported/" + size).c_str(), BM_CopyImported,
                                           &options, entries));
    configure(
        benchmark::RegisterBenchmark(("export/" + size).c_str(), BM_Export, &options, entries));
  }
}

}  // namespace ombrel::bench
