#!/usr/bin/env bash
# Writes seed streams for sim_stream_fuzz into OUTDIR: the store and print streams that
# logosmith-cli writes (when $LOGOSMITH_BIN_DIR holds it and ImageMagick is there), and the
# alignment, setup, print and store commands written out byte by byte.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out=$1
mkdir -p "$out"

seed() { printf "$2" >"$out/$1"; }
zeros20='\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'

# Alignment pattern, check setup, and the setup command for low -3, normal 0, high +2, colour +3.
seed pattern '\033@\033x\001\001\035vf\0'
seed check-setup '\033@\033x\001\003\035vf\0'
seed setup "\033x\001\002\001\001$zeros20\033x\001\002\002\004$zeros20\033x\001\002\003\006$zeros20\033x\001\002\004\007$zeros20"
# A 10 x 8 black picture, printed plain and centred.
black='\033r\0\033*\0\012\0\377\377\377\377\377\377\377\377\377\377\r\r\033J\020\r\033J\020'
seed print-black "$black"
seed print-black-centred "\033a\001$black\033a\0"
# Two logos: 2 x 2 (black, red / red, white) and one green dot, stored.
seed store-two "\033g\0\002\0\036\0\034\033a\001\033r\0\033*\0\002\0\200\0\r\033r\001\033*\0\002\0\100\200\033J\020\033a\0\033a\001\033r\0\033*\0\001\0\200\r\033r\001\033*\0\001\0\200\033J\020\033a\0"
# A double-density R-only print of three columns.
seed print-double '\033r\001\033*\001\006\0\200\200\100\100\040\040\033J\020\r\033J\020'

cli=${LOGOSMITH_BIN_DIR:-}/logosmith-cli
if [ -n "${LOGOSMITH_BIN_DIR:-}" ] && [ -x "$cli" ] && command -v convert >/dev/null; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  convert -size 24x12 xc:white -fill black -draw 'rectangle 1,1 10,9' \
    -fill red -draw 'rectangle 8,4 20,11' "BMP3:$work/mixed.bmp"
  convert -size 9x17 xc:white -fill '#00ff00' -draw 'rectangle 0,0 8,3' \
    -fill blue -draw 'rectangle 2,10 6,16' "BMP3:$work/tall.bmp"
  convert -size 16x8 xc:black "BMP3:$work/black.bmp"
  run() { "$cli" "$@" >/dev/null 2>&1 || echo "seeds.sh: logosmith-cli $* failed" >&2; }
  run store "$out/cli-store-single.prn" "$work/mixed.bmp" "$work/tall.bmp" "$work/black.bmp"
  run store "$out/cli-store-double.prn" "$work/mixed.bmp" "$work/tall.bmp" --density double
  run print "$out/cli-print.prn" "$work/mixed.bmp"
  run print "$out/cli-print-centred-double.prn" "$work/tall.bmp" --center --density double
fi
