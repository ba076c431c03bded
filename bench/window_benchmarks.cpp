// SPDX-License-Identifier: MIT
// Start-up of the real window, offscreen, with the no-password marker: the
// window is made and Form_Load runs up to the filled list. Then the list fill
// alone, against a plain case-blind sort of the same names.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <stdexcept>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "BenchWindow.h"

namespace ombrel::bench {
namespace {

void BM_Startup(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  releaseListedWindow();  // only the window being timed holds a list
  for (auto _ : state) {
    auto window = std::make_unique<StartedWindow>(data.pristine);
    state.PauseTiming();
    if (window->form->nameCount() != static_cast<int>(entries))
      throw std::runtime_error("start-up listed the wrong number of names");
    window.reset();
    state.ResumeTiming();
  }
}

// What filling List1 costs once the names are decoded: addNames() with the
// names in file order, handed over as start-up hands them (its own list,
// moved in).
void BM_FillList(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  releaseListedWindow();
  StartedWindow window(dataSet(*options, 0).pristine);
  for (auto _ : state) {
    state.PauseTiming();
    window.form->clearNames();
    NameBlock names = data.fileOrderBlock;
    state.ResumeTiming();
    window.form->addNames(std::move(names));
  }
  if (window.form->nameCount() != static_cast<int>(entries))
    throw std::runtime_error("the list holds the wrong number of names");
}

// The least any sorted list must do: sort the same names without regard to case.
void BM_SortNames(benchmark::State& state, const BenchOptions* options, std::size_t entries) {
  const DataSet& data = dataSet(*options, entries);
  for (auto _ : state) {
    state.PauseTiming();
    QStringList names = data.fileOrderNames;
    names.detach();
    state.ResumeTiming();
    std::sort(names.begin(), names.end(), listsBefore);
    benchmark::DoNotOptimize(names.constData());
    state.PauseTiming();
    names = QStringList();
    state.ResumeTiming();
  }
}

}  // namespace

void registerWindowBenchmarks(const BenchOptions& options) {
  const bool haveEmpty =
      std::find(options.sizes.begin(), options.sizes.end(), 0u) != options.sizes.end();
  for (std::size_t entries : options.sizes) {
    const std::string size = std::to_string(entries);
    if (entries == 0 || entries >= kMinFileEntries)
      configure(
          benchmark::RegisterBenchmark(("startup/" + size).c_str(), BM_Startup, &options, entries));
    if (entries < kMinFileEntries || !haveEmpty) continue;
    configure(benchmark::RegisterBenchmark(("fill_list/" + size).c_str(), BM_FillList, &options,
                                           entries));
    configure(benchmark::RegisterBenchmark(("sort_names/" + size).c_str(), BM_SortNames, &options,
                                           entries));
  }
}

}  // namespace ombrel::bench
