#!/usr/bin/env bash
# Writes seed streams for prn_reader_fuzz into OUTDIR: the alignment and setup commands and the
# worked store and print examples byte by byte; with $LOGOSMITH_BIN_DIR (the built programs)
# and ImageMagick, the stores and prints logosmith-cli makes of two-ink pictures at both
# densities; and every regression input.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"

seed() { printf "$2" >"$out/$1.prn"; }
zeros20='\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
seed pattern '\033@\033x\001\001\035vf\0'
seed check-setup '\033@\033x\001\003\035vf\0'
# Low -3, normal 0, high +2, colour +3.
seed setup "\033x\001\002\001\001$zeros20\033x\001\002\002\004$zeros20\033x\001\002\003\006$zeros20\033x\001\002\004\007$zeros20"
# 10 x 8 black, stored alone; the 2 x 2 picture (black, red / red, white) and a green dot
# stored together; the 2 x 2 picture printed.
black='\033r\0\033*\0\012\0\377\377\377\377\377\377\377\377\377\377\r\r\033J\020\r\033J\020'
seed store-black "\033g\0\001\0\041\033a\001$black\033a\0"
small='\033r\0\033*\0\002\0\200\0\r\033r\001\033*\0\002\0\100\200\033J\020'
seed store-two "\033g\0\002\0\036\0\034\033a\001$small\033a\0\033a\001\033r\0\033*\0\001\0\200\r\033r\001\033*\0\001\0\200\033J\020\033a\0"
seed print-small "$small"
seed print-black-centred "\033a\001$black\033a\0"

cli=${LOGOSMITH_BIN_DIR:-}/logosmith-cli
if [ -n "${LOGOSMITH_BIN_DIR:-}" ] && [ -x "$cli" ] && command -v convert >/dev/null; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # Two-ink pictures of heights around the 8-dot bands, one of them blank.
  convert -size 12x9 xc:white -fill black -draw 'rectangle 0,0 5,8' -fill red \
    -draw 'rectangle 6,0 11,4' -fill lime -draw 'point 3,3' "BMP3:$work/a.bmp"
  convert -size 3x17 xc:black -fill red -draw 'point 1,16' -fill blue -draw 'point 2,8' \
    "BMP3:$work/b.bmp"
  convert -size 1x1 xc:red "BMP3:$work/c.bmp"
  convert -size 5x8 xc:white "BMP3:$work/d.bmp"
  for density in single double; do
    "$cli" store "$out/store-1-$density.prn" "$work/a.bmp" --density "$density" >/dev/null
    "$cli" store "$out/store-4-$density.prn" "$work/a.bmp" "$work/b.bmp" "$work/c.bmp" \
      "$work/d.bmp" --density "$density" >/dev/null
    "$cli" print "$out/print-$density.prn" "$work/b.bmp" --density "$density" >/dev/null
    "$cli" print "$out/print-centred-$density.prn" "$work/a.bmp" --density "$density" \
      --center >/dev/null
  done
fi

if [ -d "$here/regressions/prn_reader_fuzz" ]; then
  find "$here/regressions/prn_reader_fuzz" -type f ! -name README.md -exec cp {} "$out/" \;
fi
