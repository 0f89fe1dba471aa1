#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Logosmith.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  clang-14 libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libjpeg62-turbo-dev libemf2svg-dev libcups2-dev
  libpng-dev libtiff-dev libwebp-dev libpoppler-qt6-dev
  libgtest-dev libbenchmark-dev
  cups cups-client cups-daemon cups-bsd
  xvfb xauth x11-apps x11-utils openbox xdotool imagemagick fonts-dejavu-core
  clang-14 libclang-rt-14-dev
  librsvg2-bin dpkg-dev desktop-file-utils appstream lintian man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
