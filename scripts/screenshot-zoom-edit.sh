#!/usr/bin/env bash
# Takes docs/preview-zoomed.png and docs/edit-menu.png from the real program under Xvfb and
# openbox: the preview zoomed to 300 % (whole dots, no blur), and the Edit menu after a change of
# the colour controls. Needs a build (scripts/build.sh) and the packages of
# scripts/install-deps.sh.
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
convert -size 200x120 xc:white -fill '#d01010' -draw "circle 50,60 50,15" \
  -fill black -draw "rectangle 110,20 190,100" -fill white -draw "rectangle 125,35 175,85" \
  "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one logo.bmp
printf '\n[preview]\nZoom=300\n' >>"$work/config/KORVANT/logosmith.ini"

under_xvfb 1024x768x24 <<'SHOOT'
wid=$(window_named "KORVANT MRX-310 Logosmith")
frame=$(framed "$wid")
import -window root -crop "$frame" +repage docs/preview-zoomed.png
read -r X Y W H < <(client_area "$wid")
menu=$((H - 609))
# A change to undo: "Green  " in the Cartridge Color group.
xdotool mousemove $((X + 350)) $((Y + menu + 158 + 119)) click 1
sleep 0.5
# "Edit" is the fifth menu, after the design's four.
xdotool mousemove $((X + 232)) $((Y + menu / 2)) click 1
sleep 1
import -window root -crop "$frame" +repage docs/edit-menu.png
xdotool key Escape
SHOOT
