#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds Ombrel into ./build. Extra arguments go to the CMake
# configure step, e.g. `bash scripts/build.sh -DOMBREL_BUILD_BENCH=ON`.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${OMBREL_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
