#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Logosmith and runs every test: unit, GUI
# (offscreen), integration (pseudo-terminals, FIFOs, a private CUPS). Then, because every reader
# takes files from anyone, it builds everything again with clang, AddressSanitizer and UBSan,
# runs the whole suite there once, runs every fuzz target for a bounded time from its seeds
# and replays every regression input (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd "${LOGOSMITH_BUILD_DIR:-build}" && ctest --output-on-failure --timeout 900 -j2)

# The Debian package: built, checked as a distribution would check it, unpacked into a scratch
# root and run from there.
scripts/package-check.sh

# The sanitizer build: -O1 with line tables keeps it quick to build and its reports readable.
san_dir=${LOGOSMITH_SANITIZE_BUILD_DIR:-build-sanitize}
if [ ! -f "$san_dir/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$san_dir" -G Ninja "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DLOGOSMITH_FUZZ=ON -DLOGOSMITH_BUILD_BENCHMARKS=OFF
fi
cmake --build "$san_dir" --parallel "$(nproc)"
(cd "$san_dir" && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure --timeout 1800 -j2)
scripts/fuzz.sh "$san_dir" "${LOGOSMITH_FUZZ_SECONDS:-30}" 2
