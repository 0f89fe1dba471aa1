#!/usr/bin/env bash
# Writes seed inputs for the picture readers' fuzz targets into OUTDIR/<target>/: small
# pictures of every depth and kind from ImageMagick, and the metafiles and hostile files the
# loader tests build (loader_write_samples from LOGOSMITH_BIN_DIR). Nothing is fetched.
set -euo pipefail
out=${1:?usage: seeds.sh OUTDIR}
bin=${LOGOSMITH_BIN_DIR:?LOGOSMITH_BIN_DIR must name the built programs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in bmp jpeg gif ico wmf emf png tiff webp svg pdf; do mkdir -p "$out/${t}_fuzz"; done

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

convert "$work/base.ppm" "$out/png_fuzz/rgb.png"
convert "$work/base.ppm" -interlace PNG "$out/png_fuzz/interlaced.png"
convert "$work/base.ppm" -depth 16 "$out/png_fuzz/deep.png"
convert "$work/base.ppm" -type palette PNG8:"$out/png_fuzz/palette.png"
convert "$work/base.ppm" -colorspace Gray -define png:color-type=0 "$out/png_fuzz/grey.png"
convert "$work/alpha.png" "$out/png_fuzz/alpha.png"
convert "$work/alpha.png" -colorspace Gray -define png:color-type=4 "$out/png_fuzz/grey-alpha.png"

convert "$work/base.ppm" -compress lzw "$out/tiff_fuzz/lzw.tif"
convert "$work/base.ppm" -compress zip -depth 16 "$out/tiff_fuzz/deep.tif"
convert "$work/base.ppm" -type palette -compress rle "$out/tiff_fuzz/palette.tif"
convert "$work/base.ppm" -type bilevel -compress group4 "$out/tiff_fuzz/fax.tif"
convert "$work/base.ppm" -define tiff:tile-geometry=16x16 -compress zip "$out/tiff_fuzz/tiled.tif"
convert "$work/base.ppm" -colorspace CMYK "$out/tiff_fuzz/cmyk.tif"
convert "$work/base.ppm" -compress jpeg "$out/tiff_fuzz/jpeg.tif"
convert "$work/alpha.png" "$out/tiff_fuzz/alpha.tif"

convert "$work/base.ppm" -quality 80 "$out/webp_fuzz/lossy.webp"
convert "$work/base.ppm" -define webp:lossless=true "$out/webp_fuzz/lossless.webp"
convert "$work/alpha.png" -quality 80 "$out/webp_fuzz/alpha.webp"
convert -delay 10 "$work/base.ppm" -negate "$work/base.ppm" "$out/webp_fuzz/animated.webp"

svg='<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"'
echo "$svg width=\"24\" height=\"16\"><rect width=\"12\" height=\"16\" fill=\"red\"/><circle cx=\"17\" cy=\"8\" r=\"3\" fill=\"blue\" fill-opacity=\"0.5\"/></svg>" \
  >"$out/svg_fuzz/shapes.svg"
echo "$svg viewBox=\"0 0 24 16\"><defs><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"red\"/><stop offset=\"1\" stop-color=\"blue\"/></linearGradient><path id=\"p\" d=\"M1 1 L10 14 Q20 2 23 15 Z\"/></defs><style>.a{stroke:black}</style><use xlink:href=\"#p\" fill=\"url(#g)\" class=\"a\"/><text x=\"2\" y=\"12\" font-size=\"6\">Ab</text></svg>" \
  >"$out/svg_fuzz/references.svg"

# pdf PAGE_CONTENT RESOURCES NAME: a one-page PDF of 24 x 16 points; readers rebuild the
# cross-reference table it leaves out.
pdf() {
  local LC_ALL=C # the length in bytes
  printf '%%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 24 16]/Resources <<%s>>/Contents 4 0 R>> endobj\n4 0 obj <</Length %d>> stream\n%s\nendstream endobj\ntrailer <</Root 1 0 R>>\n%%%%EOF\n' \
    "$2" "${#1}" "$1" >"$out/pdf_fuzz/$3.pdf"
}
pdf "1 0 0 rg 0 0 12 16 re f 0 0 1 RG 2 w 12 0 m 24 16 l S" "" shapes
pdf "/H gs 0 0 1 rg 4 4 16 8 re f" "/ExtGState <</H <</ca 0.5>>>>" transparent
pdf "BT /F 8 Tf 2 4 Td (Ab) Tj ET" "/Font <</F <</Type/Font/Subtype/Type1/BaseFont/Helvetica>>>>" text
pdf "q 24 0 0 16 0 0 cm BI /W 2 /H 2 /CS /RGB /BPC 8 ID $(printf '\377\1\1\1\377\1\1\1\377\377\377\377') EI Q" "" image

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
    *.png) cp "$f" "$out/png_fuzz/" ;;
    *.tif) cp "$f" "$out/tiff_fuzz/" ;;
    *.webp) cp "$f" "$out/webp_fuzz/" ;;
    *.svg) cp "$f" "$out/svg_fuzz/" ;;
    *.pdf) cp "$f" "$out/pdf_fuzz/" ;;
  esac
done
