#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Logosmith and runs every test: unit, GUI
# (offscreen), integration (pseudo-terminals, FIFOs, a private CUPS) and the picture
# loaders again under AddressSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd "${LOGOSMITH_BUILD_DIR:-build}" && ctest --output-on-failure --timeout 900 -j2)

# The Debian package: built, checked as a distribution would check it, unpacked into a scratch
# root and run from there.
scripts/package-check.sh

# The loaders read untrusted files: run their tests once more with AddressSanitizer.
asan_dir=${LOGOSMITH_ASAN_BUILD_DIR:-build-asan}
if [ ! -f "$asan_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$asan_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOGOSMITH_SANITIZE=ON \
    -DLOGOSMITH_BUILD_BENCHMARKS=OFF
fi
asan_targets=$(cmake --build "$asan_dir" --target help | sed -n 's/^\([a-z_]*loader[a-z_]*_test\):.*/\1/p')
if [ -n "$asan_targets" ]; then
  # shellcheck disable=SC2086
  cmake --build "$asan_dir" --parallel "$(nproc)" --target $asan_targets
  (cd "$asan_dir" && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -R loader)
fi
