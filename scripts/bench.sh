#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in release mode, generates entry files of 100 to
# 1,000,000 entries, runs every benchmark and baseline in one go and prints one
# table of medians and goal ratios.
#
#   bash scripts/bench.sh            full run (about 90 MB of data, a few minutes)
#   bash scripts/bench.sh --small    1,000 and 10,000 entries only, for CI
#
# Then the leak check and the health report: a leak list of 1 GB (16 MB in a
# small run) against 1,000 stored passwords, beside KeePassXC's check of the
# same passwords, and the report on 100,000 entries (10,000). The lists are
# generated in the data folder and kept for the next run; they are never
# committed.
#
# Missed goals are printed as MISS and do not fail the script; errors do.
# Results stay in build-bench/bench-results (bench.json, bench.log, table.md).
set -euo pipefail
cd "$(dirname "$0")/.."

small=0
case "${1:-}" in
  --small) small=1 ;;
  "") ;;
  *) echo "usage: $0 [--small]" >&2; exit 2 ;;
esac

build=${OMBREL_BENCH_DIR:-build-bench}
data=$build/bench-data
results=$build/bench-results
python=$(command -v python3)

if ((small)); then
  sizes=(0 100 1000 10000)
  audit_args=(16000000 10000 --runs 3)
  bench_flags=(--benchmark_repetitions=3 --benchmark_min_time=0.05)
  csv_runs=3
  probe_runs=1
else
  sizes=(0 100 1000 10000 100000 1000000)
  audit_args=(1000000000 100000 --runs 5)
  bench_flags=(--benchmark_repetitions=5 --benchmark_min_time=0.3)
  csv_runs=5
  probe_runs=3
fi
# The goals are judged at 100,000 entries (the largest file in a small run);
# Python and the memory probe run there and on the empty file.
reference=${sizes[-1]}
((small)) || reference=100000

# A build directory that exists already (CI's, which has built everything
# else) keeps its own settings and only adds the benchmarks; a new one is
# made for release.
if [[ -f "$build/CMakeCache.txt" ]]; then
  echo "Building the benchmarks in $build ..." >&2
  cmake -S . -B "$build" -DOMBREL_BUILD_BENCH=ON >/dev/null
else
  echo "Building the benchmarks (release) in $build ..." >&2
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOMBREL_BUILD_BENCH=ON \
    -DOMBREL_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target make_bench_data ombrel_bench ombrel_rss_probe \
  ombrel_transfer_probe ombrel_audit_bench ombrel \
  >"$build/bench-build.log" 2>&1 || { cat "$build/bench-build.log" >&2; exit 1; }

echo "Generating entry files: ${sizes[*]} entries ..." >&2
"$build/bench/make_bench_data" "$data" "${sizes[@]}" >&2

rm -rf "$results"
mkdir -p "$results"
export QT_QPA_PLATFORM=offscreen
sizes_list=$(IFS=,; echo "${sizes[*]}")
echo "Running the benchmarks ..." >&2
if ! "$build/bench/ombrel_bench" --data="$data" --sizes="$sizes_list" "${bench_flags[@]}" \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/bench.json" --benchmark_out_format=json \
    >"$results/bench.log" 2>&1; then
  cat "$results/bench.log" >&2
  echo "error: the benchmarks failed" >&2
  exit 1
fi

echo "Running the Python csv baseline and the memory probe ..." >&2
"$python" bench/csv_baseline.py "$data/$reference/passwords.dat" --runs "$csv_runs" \
  >"$results/csv.json"
# A full run also starts a fresh process on the largest file, for the growth
# of start-up as the user sees it.
probe_sizes=(0 "$reference")
((small)) || probe_sizes+=("${sizes[-1]}")
for entries in "${probe_sizes[@]}"; do
  for ((run = 0; run < probe_runs; run++)); do
    "$build/bench/ombrel_rss_probe" "$data/$entries" >>"$results/rss-$entries.json" \
      2>>"$results/probe.log"
  done
done

# The import and export in a fresh process each, for their peak memory.
for transfer in import export; do
  for entries in 0 "$reference"; do
    for ((run = 0; run < probe_runs; run++)); do
      "$build/bench/ombrel_transfer_probe" "$transfer" "$data/$entries" "$data/work/probe" \
        >>"$results/transfer-$transfer-$entries.json" 2>>"$results/probe.log"
    done
  done
done

# The program itself runs --check-pwned beside the library call once its
# command line has the option.
echo "Running the leak check and the health report ..." >&2
if ! "$build/bench/ombrel_audit_bench" "$data/audit" "${audit_args[@]}" \
    --ombrel "$build/src/ombrel" >"$results/audit.md" 2>"$results/audit.log"; then
  cat "$results/audit.log" >&2
  echo "error: the leak check and report benchmark failed" >&2
  exit 1
fi

mode=$( ((small)) && echo "small run" || echo "full run")
{
  "$python" bench/report.py "$results" "$data" \
    --title "Ombrel benchmarks, $mode, $(date '+%Y-%m-%d %H:%M %Z'), $(nproc) cores"
  echo
  echo "Leak check and health report:"
  echo
  cat "$results/audit.md"
} | tee "$results/table.md"
