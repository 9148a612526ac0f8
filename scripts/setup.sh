#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Velmora need.
# Safe to re-run: packages already present are skipped, and nothing is fetched when all are there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libjpeg62-turbo-dev libjpeg-turbo-progs
    qt6-base-dev libgl-dev qt6-translations-l10n
    libgtest-dev googletest libbenchmark-dev
    fonts-arphic-uming fonts-dejavu-core
    xvfb xauth imagemagick xdotool openbox
    clang libclang-rt-14-dev
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
