// SPDX-License-Identifier: MIT
// ombrel_bench --data=ROOT --sizes=N,N,... [Google Benchmark flags]
//
// ROOT holds one generated data directory per entry count (make_bench_data).
// scripts/bench.sh runs this with JSON output and turns it into the table.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "BenchRegistry.h"
#include "BenchSupport.h"
#include "BenchWindow.h"

int main(int argc, char** argv) {
  ombrel::bench::BenchOptions options = ombrel::bench::takeBenchOptions(argc, argv);

  // The window benchmarks need a QApplication; no display is needed.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  ombrel::bench::registerStorageBenchmarks(options);
  ombrel::bench::registerCommandBenchmarks(options);
  ombrel::bench::registerWindowBenchmarks(options);
  ombrel::bench::registerTransferBenchmarks(options);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  int result = 0;
  try {
    benchmark::RunSpecifiedBenchmarks();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "benchmark failed: %s\n", failure.what());
    result = 1;
  }
  ombrel::bench::releaseListedWindow();  // while the QApplication is still there
  benchmark::Shutdown();
  return result;
}
