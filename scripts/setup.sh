#!/usr/bin/env bash
# Installs the Debian packages that katrel needs to build and test, calling
# apt-get update only when something is missing. Extra package names given
# as arguments are installed as well (the benchmark and fuzz targets use this).
set -euo pipefail

packages=(g++ make cmake libtclap-dev googletest libgtest-dev libopenmpi-dev openmpi-bin zlib1g-dev help2man "$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
