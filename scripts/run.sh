#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Logosmith and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${LOGOSMITH_BUILD_DIR:-build}/bin/logosmith"
