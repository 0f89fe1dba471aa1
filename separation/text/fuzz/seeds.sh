#!/usr/bin/env bash
# Seeds for the text settings fuzz target: settings files as the program writes them.
set -euo pipefail
out=${1:?usage: seeds.sh OUTDIR}
mkdir -p "$out"
cat >"$out/one-line.json" <<'JSON'
{"version": 1, "width": 255, "lineSpacing": 2, "placement": "text",
 "lines": [{"text": "Shop", "font": "DejaVu Sans", "size": 24, "bold": false, "italic": false,
            "align": "center", "ink": "black"}]}
JSON
cat >"$out/two-lines.json" <<'JSON'
{"version": 1, "width": 400, "lineSpacing": 6, "placement": "under",
 "lines": [{"text": "Caf\u00e9", "font": "DejaVu Serif", "size": 40, "bold": true, "italic": true,
            "align": "left", "ink": "red"},
           {"text": "Tel. 0123", "size": 12, "align": "right"}]}
JSON
