#!/usr/bin/env bash
# Makes the three pictures of the help page's dithering section: one photograph, made here so
# anyone can make it again (a red ball and a white egg on a table, with film grain, as a JPEG),
# stored with logosmith-cli store --dither none|diffusion|ordered|best and drawn from each store
# stream by mrx310-sim exactly as the printer keeps the logo: one pixel per dot.
# Writes app/help/help-images/dither-{photo.jpg,none.png,diffusion.png,ordered.png,best.png}.
# Needs a build (scripts/build.sh) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$PWD/${LOGOSMITH_BUILD_DIR:-build}/bin
out=$PWD/app/help/help-images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The wall and the table.
convert -size 320x160 gradient:'#f2eee8'-'#8f8983' \
  \( -size 320x64 gradient:'#7a6e62'-'#3e3630' \) -append scene.png
convert -size 320x224 xc:none -fill 'rgba(0,0,0,0.55)' \
  -draw 'ellipse 128,186 74,14 0,360' -draw 'ellipse 244,188 50,11 0,360' -blur 0x7 shadow.png
# The ball, lit from the upper left: its shading mapped through dark red, red and a pale highlight.
convert -size 140x140 -define gradient:center=46,40 -define gradient:radii=120,120 \
  radial-gradient:white-black \
  \( -size 1x60 gradient:'#200000'-'#700400' -size 1x120 gradient:'#700400'-'#e01c0c' \
  -size 1x76 gradient:'#e01c0c'-'#ffe4dc' -append \) -clut \
  \( -size 140x140 xc:black -fill white -draw 'circle 70,70 70,2' \) \
  -alpha off -compose CopyOpacity -composite ball.png
convert -size 100x124 -define gradient:center=34,38 -define gradient:radii=100,100 \
  radial-gradient:'#ffffff'-'#3c3c3c' \
  \( -size 100x124 xc:black -fill white -draw 'ellipse 50,62 48,60 0,360' \) \
  -alpha off -compose CopyOpacity -composite egg.png
convert scene.png shadow.png -composite ball.png -geometry +58+54 -composite \
  egg.png -geometry +194+68 -composite -seed 7 -attenuate 0.25 +noise Gaussian \
  -strip -quality 92 photo.jpg

mkdir -p "$out"
cp photo.jpg "$out/dither-photo.jpg"
for mode in none diffusion ordered best; do
  "$bin/logosmith-cli" store "$mode.prn" photo.jpg --dither "$mode" >/dev/null
  "$bin/mrx310-sim" --expect store --out "sim-$mode" "$mode.prn" >/dev/null
  cp "sim-$mode/logo-1.png" "$out/dither-$mode.png"
done
echo "help-dither-examples: wrote" "$out"/dither-*
