#!/usr/bin/env bash
# Seeds for this folder's settings fuzz target: the settings files the program's readers meet.
set -euo pipefail
exec "$(dirname "$0")/../../../platform/fuzz/write_settings_seeds.sh" "${1:?usage: seeds.sh OUTDIR}"
