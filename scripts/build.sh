#!/usr/bin/env bash
# Configures and builds Logosmith into ./build (or $LOGOSMITH_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${LOGOSMITH_BUILD_DIR:-build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build_dir" --parallel "$(nproc)"
