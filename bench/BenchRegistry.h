// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

#include "BenchSupport.h"

namespace ombrel::bench {

// Entry counts below this are measured only where a goal compares with them
// (New, start-up); elsewhere they would time little but the clock.
inline constexpr std::size_t kMinFileEntries = 1000;

// Every benchmark reports wall time (the flushes wait on the disk, not the
// CPU) in milliseconds; medians come from the repetitions the command line
// asks for.
inline benchmark::internal::Benchmark* configure(benchmark::internal::Benchmark* bench) {
  return bench->UseRealTime()->Unit(benchmark::kMillisecond);
}

void registerStorageBenchmarks(const BenchOptions& options);
void registerCommandBenchmarks(const BenchOptions& options);
void registerWindowBenchmarks(const BenchOptions& options);
void registerTransferBenchmarks(const BenchOptions& options);

}  // namespace ombrel::bench
