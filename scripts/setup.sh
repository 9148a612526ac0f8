#!/usr/bin/env bash
# Installs the Debian 12 packages that Velmora needs.
# Usage: scripts/setup.sh [--run] [PACKAGE...]
#   --run    only what building and running the program and velmora-convert need
#            (scripts/run.sh); without it, also what the tests, the checks, the fuzz targets,
#            the screenshot scripts and the icon drawing need (scripts/test.sh).
#   PACKAGE  further packages to install as well.
# Safe to re-run: packages already present are skipped, and nothing is fetched when all are there.
set -euo pipefail

run_packages=(
    build-essential cmake ninja-build pkg-config
    libjpeg62-turbo-dev qt6-base-dev libgl-dev
    qt6-translations-l10n fonts-arphic-uming fonts-dejavu-core
    # The open-directory button asks xdg-open to open the folder.
    xdg-utils
)
test_packages=(
    libgtest-dev googletest libbenchmark-dev
    # Manual pages, the package (CPack's dependency scan needs file) and their checks.
    help2man file man-db desktop-file-utils appstream
    clang-format clang-tidy
    # Fuzzing (fuzz/run.sh).
    clang libclang-rt-14-dev
    # Screenshots, the About banner and the icon.
    xvfb xauth openbox xdotool imagemagick librsvg2-bin libjpeg-turbo-progs
    # The soak (tests/soak/): its window probe talks X11, xwininfo finds the windows and
    # gdb records where a hung program stands.
    libx11-dev x11-utils gdb
)

packages=("${run_packages[@]}")
if [ "${1:-}" = --run ]; then
    shift
else
    packages+=("${test_packages[@]}")
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
echo "setup: installing ${missing[*]}"
# Through env, since sudo would drop DEBIAN_FRONTEND from the environment.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
