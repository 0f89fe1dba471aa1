#!/usr/bin/env bash
# Takes the screenshots in docs/ from the real program under Xvfb and openbox: a demo library of one
# picture, shown as loaded (docs/screenshot.png) and after choosing "Green  "
# (docs/screenshot-green.png). Needs a build (scripts/build.sh); installs xdotool if missing.
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
command -v xdotool >/dev/null || apt-get install -y -qq xdotool
convert -size 240x160 xc:white -fill '#d01010' -draw "circle 60,80 60,20" \
  -fill black -draw "rectangle 130,30 220,130" -fill '#20b030' -draw "polygon 100,155 140,100 180,155" \
  -fill '#3050e0' -draw "rectangle 10,5 60,25" "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one logo.bmp

under_xvfb 900x760x24 <<'SHOOT'
wid=$(window_named "KORVANT MRX-310 Logosmith")
# The window as the person sees it: the frame openbox draws around it included.
frame=$(framed "$wid")
import -window root -crop "$frame" +repage docs/screenshot.png
# "Green  " sits in the Cartridge Color group.
read -r X Y W H < <(client_area "$wid")
xdotool mousemove $((X + 350)) $((Y + 22 + 158 + 119)) click 1
sleep 1
import -window root -crop "$frame" +repage docs/screenshot-green.png
SHOOT
