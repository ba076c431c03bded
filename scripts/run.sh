#!/usr/bin/env bash
# Installs what is missing, builds Ombrel and opens its window, with the data
# directory prepared by the launcher (see scripts/launch-ombrel).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<'MSG'
Ombrel is built, but no display is available to show its window
(neither DISPLAY nor WAYLAND_DISPLAY is set).

Run it from a desktop session, or on a virtual X server:
    xvfb-run -a bash scripts/run.sh
The program itself is build/src/ombrel; scripts/launch-ombrel starts it in
your data directory.
MSG
  exit 2
fi

OMBREL_BIN="$PWD/${OMBREL_BUILD_DIR:-build}/src/ombrel" exec scripts/launch-ombrel
