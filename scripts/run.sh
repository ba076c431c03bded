#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and running need, builds Ombrel (without its tests)
# and opens its window on the user's data directory, through the same
# `ombrel` command that an installation puts on the PATH (scripts/launch-ombrel).
set -euo pipefail
cd "$(dirname "$0")/.."

# Without a display the window could only wait, unseen, for an answer: say so
# before spending minutes on installing and building.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<'MSG'
No display is available to show Ombrel's window (neither DISPLAY nor
WAYLAND_DISPLAY is set). Run this from a desktop session.
MSG
  exit 2
fi

bash scripts/install-deps.sh run
bash scripts/build.sh -DOMBREL_BUILD_TESTS=OFF

OMBREL_BIN="$PWD/${OMBREL_BUILD_DIR:-build}/src/ombrel" exec scripts/launch-ombrel
