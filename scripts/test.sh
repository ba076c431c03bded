#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Ombrel with its tests and runs them all.
# Unit and window tests run on Qt's offscreen platform; the end-to-end tests
# start their own X server, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
# Line tables only: reports and backtraces still name file and line, and the
# build is quicker than with full debug information.
bash scripts/build.sh -DOMBREL_BUILD_TESTS=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1"

cd "${OMBREL_BUILD_DIR:-build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
