#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Ombrel and all its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into ./build-asan and runs the whole suite there.
# Extra arguments go to ctest, e.g. `bash scripts/test-sanitizers.sh -L e2e`.
# Qt itself is not instrumented; leaks inside the libraries it loads are
# listed in tests/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."

export OMBREL_BUILD_DIR=${OMBREL_ASAN_BUILD_DIR:-build-asan}
bash scripts/install-deps.sh test
# Lightly optimised, with line tables only: a third quicker to build than the
# usual -O2 -g, and the reports still name file and line.
bash scripts/build.sh -DOMBREL_BUILD_TESTS=ON -DOMBREL_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1"

cd "$OMBREL_BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" "$@"
