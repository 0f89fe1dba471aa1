#!/usr/bin/env bash
# Takes docs/printer-view.png from the real program under Xvfb and openbox: a demo library of one
# red-and-black logo at double density ("Double Density 208*96"), shown by the "Printer View"
# button. Needs a build (scripts/build.sh) and the packages of scripts/install-deps.sh.
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
convert -size 160x100 xc:white -fill '#ff0000' -draw "circle 40,50 40,12" \
  -fill black -draw "rectangle 88,18 148,82" -fill white -draw "rectangle 100,30 136,70" \
  -fill black -draw "polygon 20,96 40,70 60,96" "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one logo.bmp
# The view's place and size: the client area from (40, 60) to (760, 620), large enough for Fit
# to draw the logo at twice 100 %. Quoted, as the program writes it: a bare list with commas
# would be read as several values.
cat >>"$work/config/KORVANT/logosmith.ini" <<INI

[resol]
index=2

[printerview]
NormPos="40,60,760,620"
INI

under_xvfb 1024x768x24 <<'SHOOT'
read -r X Y W H < <(client_area "$(window_named "KORVANT MRX-310 Logosmith")")
# "Printer View" sits beside "Exit", about 20 pixels above the bottom of the client area.
xdotool mousemove $((X + 452)) $((Y + H - 20)) click 1
import -window root -crop "$(framed "$(window_named "Printer View")")" +repage docs/printer-view.png
SHOOT
