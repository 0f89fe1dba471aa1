#!/usr/bin/env bash
# Takes docs/port-dialog.png from the real program under Xvfb and openbox: the port dialog opened
# from Setting -> Communication Port Setting, with COM1 leading to a serial line of this machine.
# Needs a build (scripts/build.sh) and the packages of scripts/install-deps.sh.
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
convert -size 120x60 xc:white -fill black -draw "rectangle 10,10 110,50" \
  "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one logo.bmp
cat >>"$work/config/KORVANT/logosmith.ini" <<INI

[nport]
port=2
baud=3
parity=0
data=1
stop=0
flow=1
INI

under_xvfb 1024x768x24 <<'SHOOT'
read -r X Y W H < <(client_area "$(window_named "KORVANT MRX-310 Logosmith")")
# "Setting" is the second menu; "Communication Port Setting" its second item.
xdotool mousemove $((X + 60)) $((Y + 10)) click 1
sleep 0.5
xdotool mousemove $((X + 110)) $((Y + 58)) click 1
import -window root -crop "$(framed "$(window_named "Set Communication Port")")" +repage \
  docs/port-dialog.png
SHOOT
