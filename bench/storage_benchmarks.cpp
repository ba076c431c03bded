// SPDX-License-Identifier: MIT
// Reading the entry file, and the two baselines the commands are held to:
// the least any reader must do (read the bytes, look at each once) and the
// least a safe rewrite must do (read, write a copy, flush it, rename it).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "storage/DataFiles.h"
#include "storage/RecordReader.h"
#include "storage/ShiftCodec.h"

namespace ombrel::bench {
namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

void BM_ReadOnePass(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  const std::string path = (data.pristine / "passwords.dat").string();
  std::unique_ptr<char[]> buffer;
  for (auto _ : state) {
    const std::size_t size = readPlain(path.c_str(), buffer);
    const std::size_t lines = std::count(buffer.get(), buffer.get() + size, '\n');
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.fileSize));
}

// Every record read and every field decoded, through the program's own reader
// and decoder, as start-up and the rewrites go through the file.
void BM_Parse(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  const auto path = data.pristine / "passwords.dat";
  for (auto _ : state) {
    storage::InputFile file;
    check(file.open(path).ok(), "open");
    storage::RecordReader reader(file);
    std::size_t records = 0;
    auto decode = [&records](const storage::RecordView& record) {
      for (const storage::FieldView* field :
           {&record.name, &record.user, &record.password, &record.notes}) {
        storage::ShiftResult plain = storage::shiftDecode(field->text);
        benchmark::DoNotOptimize(plain.text.data());
      }
      ++records;
      return storage::Status::success();
    };
    const storage::Status status = reader.forEachRecord(decode);
    check(status.ok() && records == entries, "read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.fileSize));
}

// Read the file, write a whole copy beside it, flush the copy, rename it over
// the file and flush the directory: what a rewrite that survives a crash costs
// at the very least.
void BM_CopyFlushRename(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  resetWorkCopy(data);
  for (auto _ : state) copyFlushRename(data.work);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.fileSize));
}

}  // namespace

void registerStorageBenchmarks(const BenchOptions& options) {
  for (std::size_t entries : options.sizes) {
    if (entries < kMinFileEntries) continue;
    const std::string size = std::to_string(entries);
    configure(benchmark::RegisterBenchmark(("read_one_pass/" + size).c_str(), BM_ReadOnePass,
                                           &options, entries));
    configure(benchmark::RegisterBenchmark(("parse/" + size).c_str(), BM_Parse, &options, entries));
    configure(benchmark::RegisterBenchmark(("copy_flush_rename/" + size).c_str(),
                                           BM_CopyFlushRename, &options, entries));
  }
}

}  // namespace ombrel::bench
