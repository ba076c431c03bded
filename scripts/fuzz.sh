#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets over the file formats (fuzz/) with clang and
# runs each for a while, starting from the seed files in fuzz/corpus/<target>.
#
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 300)
#
# Prints the executions and the findings of each target and ends with status
# 1 when anything was found. Inputs that broke a target are kept in
# build-fuzz/findings/<target>/; replay one with build-fuzz/fuzz_<target> FILE.
# What the fuzzer learns goes to build-fuzz/corpus/, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
targets=(record_reader password_line colour_number cp1252 shift_codec)
build_dir=${OMBREL_FUZZ_BUILD_DIR:-build-fuzz}

bash scripts/install-deps.sh test
cmake -S fuzz -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build_dir" -j"$(nproc)" >/dev/null

# One target per core at a time.
run_target() {
  local target=$1
  local corpus="$build_dir/corpus/$target" findings="$build_dir/findings/$target"
  local log="$build_dir/logs/$target.log" status=0
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  "$build_dir/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  echo "$status" >"$build_dir/logs/$target.status"
}
for target in "${targets[@]}"; do
  while [[ $(jobs -rp | wc -l) -ge $(nproc) ]]; do wait -n || true; done
  run_target "$target" &
done
wait

total_findings=0
printf '%-15s %8s %14s %8s %9s\n' target seconds executions corpus findings
for target in "${targets[@]}"; do
  log="$build_dir/logs/$target.log"
  status=$(cat "$build_dir/logs/$target.status")
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$build_dir/findings/$target" -type f | wc -l)
  if [[ $status -ne 0 && $found -eq 0 ]]; then
    echo "error: fuzz_$target stopped with status $status; see $log" >&2
    found=1
  fi
  total_findings=$((total_findings + found))
  printf '%-15s %8s %14s %8s %9s\n' "$target" "$seconds" "${executions:-?}" \
    "$(find "$build_dir/corpus/$target" -type f | wc -l)" "$found"
done

if [[ $total_findings -ne 0 ]]; then
  echo "findings: $total_findings (inputs in $build_dir/findings/, logs in $build_dir/logs/)" >&2
  exit 1
fi
echo "findings: 0"
