#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that Ombrel needs. Only the missing ones are
# installed, so a second run does nothing and needs no network.
#
#   bash scripts/install-deps.sh run     what building and running need
#   bash scripts/install-deps.sh test    that, and everything the tests, the
#                                        fuzz targets, the benchmarks and the
#                                        package checks need (the default)
set -euo pipefail

# Compiler, CMake, Qt with its platform plugins (X11 and Wayland), the CSV
# library of import and export, the password-strength estimator of the
# health report, and the fonts the window's layout is measured in.
run_packages=(
  build-essential cmake g++
  qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libcsv-dev libzxcvbn-dev
  fonts-liberation
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool xclip x11-utils imagemagick python3 dbus-x11
  dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
  weston wl-clipboard
  syncthing keepassxc tmux
  appstream desktop-file-utils lintian dpkg-dev fakeroot file
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run | test]" >&2; exit 2 ;;
esac

installed() {
  [[ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" == installed ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then
    sudo=(sudo)
  else
    echo "error: need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
run_quietly() {
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "error: '$*' failed" >&2
    exit 1
  fi
}

export DEBIAN_FRONTEND=noninteractive
run_quietly "${sudo[@]}" apt-get update -q
run_quietly "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

for package in "${missing[@]}"; do
  if ! installed "$package"; then
    echo "error: $package is still not installed" >&2
    exit 1
  fi
done
