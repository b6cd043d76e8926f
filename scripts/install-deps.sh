#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Quick when everything is already there: one dpkg-query and no apt-get at all.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev libxcb1-dev
    librtaudio-dev librtmidi-dev libjack-jackd2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    jackd2 clang libclang-rt-14-dev
    xvfb xauth imagemagick
    desktop-file-utils appstream librsvg2-bin dpkg-dev lintian
    bash-completion zsh
)

missing=()
for p in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
# As root (CI, containers) apt-get runs directly; otherwise through sudo. The variable is
# passed through env so it reaches apt-get either way.
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
