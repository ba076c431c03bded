#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Ombrel with its tests and runs them all.
# Unit and window tests run on Qt's offscreen platform; the end-to-end tests
# start their own X server, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
bash scripts/build.sh -DOMBREL_BUILD_TESTS=ON

cd "${OMBREL_BUILD_DIR:-build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
