#!/usr/bin/env bash
# Writes seed inputs for the picture readers' fuzz targets into OUTDIR/<target>/: small
# pictures of every depth and kind from ImageMagick, and the metafiles and hostile files the
# loader tests build (loader_write_samples from LOGOSMITH_BIN_DIR). Nothing is fetched.
set -euo pipefail
out=${1:?usage: seeds.sh OUTDIR}
bin=${LOGOSMITH_BIN_DIR:?LOGOSMITH_BIN_DIR must name the built programs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in bmp jpeg gif ico wmf emf; do mkdir -p "$out/${t}_fuzz"; done

# A small picture with flat areas, edges and a gradient, and a transparent variant.
convert -size 24x16 gradient:red-blue -fill black -draw "rectangle 3,3 9,9" \
  -fill '#20c020' -draw "circle 17,8 20,8" "$work/base.ppm"
convert "$work/base.ppm" -alpha set -channel A -evaluate set 50% +channel "$work/alpha.png"

n=0
# bmp OPTIONS... FORMAT: the format prefix goes in front of the output file's name.
bmp() {
  n=$((n + 1))
  local format=${*: -1}
  convert "$work/base.ppm" "${@:1:$#-1}" "$format$out/bmp_fuzz/$n.bmp"
}
bmp -type palette BMP3:
bmp -type bilevel BMP3:
bmp -colors 16 BMP3:
bmp -type truecolor BMP3:
bmp -compress RLE -type palette BMP3:
bmp -compress RLE -colors 16 BMP3:
bmp -define bmp:subtype=RGB565 BMP:
bmp -define bmp:subtype=ARGB4444 BMP:
bmp BMP2:
convert "$work/alpha.png" BMP:"$out/bmp_fuzz/alpha.bmp"

convert "$work/base.ppm" -quality 80 "$out/jpeg_fuzz/baseline.jpg"
convert "$work/base.ppm" -interlace Plane "$out/jpeg_fuzz/progressive.jpg"
convert "$work/base.ppm" -colorspace Gray "$out/jpeg_fuzz/grey.jpg"
convert "$work/base.ppm" -colorspace CMYK "$out/jpeg_fuzz/cmyk.jpg"
convert "$work/base.ppm" -sampling-factor 2x2 -define jpeg:restart-interval=1 "$out/jpeg_fuzz/restarts.jpg"

convert "$work/base.ppm" "$out/gif_fuzz/plain.gif"
convert "$work/alpha.png" "$out/gif_fuzz/transparent.gif"
convert -delay 10 "$work/base.ppm" -negate "$work/base.ppm" "$out/gif_fuzz/animated.gif"
convert "$work/base.ppm" -interlace GIF "$out/gif_fuzz/interlaced.gif"

convert "$work/base.ppm" -resize 16x16! "$work/base.ppm" -resize 32x32! "$out/ico_fuzz/two.ico"
convert "$work/alpha.png" -resize 48x48! "$out/ico_fuzz/alpha.ico"
convert "$work/base.ppm" -resize 256x256! -define icon:auto-resize=256 "$out/ico_fuzz/png.ico"

"$bin/loader_write_samples" "$work/samples"
for f in "$work"/samples/*; do
  [ -f "$f" ] || continue
  case "${f,,}" in
    *.bmp) cp "$f" "$out/bmp_fuzz/" ;;
    *.jpg) cp "$f" "$out/jpeg_fuzz/" ;;
    *.gif) cp "$f" "$out/gif_fuzz/" ;;
    *.ico) cp "$f" "$out/ico_fuzz/" ;;
    *.wmf) cp "$f" "$out/wmf_fuzz/" ;;
    *.emf) cp "$f" "$out/emf_fuzz/" ;;
  esac
done
