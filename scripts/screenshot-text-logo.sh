#!/usr/bin/env bash
# Takes docs/text-logo.png from the real program under Xvfb and openbox: the text logo dialog
# opened by "New Text Logo…", with a shop's name and telephone typed in, the second line in R
# ink. Needs a build (scripts/build.sh) and the packages of scripts/install-deps.sh.
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
convert -size 120x60 xc:white -fill black -draw "rectangle 10,10 110,50" \
  "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one logo.bmp

under_xvfb 1024x768x24 <<'SHOOT'
read -r X Y W H < <(client_area "$(window_named "KORVANT MRX-310 Logosmith")")
# "New Text Logo…" sits under the library list, on the left; the menu bar is above the panels.
menu=$((H - 609))
xdotool mousemove $((X + 78)) $((Y + menu + 137)) click 1
dialog=$(window_named "Text Logo")
xdotool type --delay 20 "Fischhaus Nord"
xdotool key Return
xdotool type --delay 20 "Tel. 0431 / 77 12"
# The second line (where the cursor is) in R ink: the ink list is six fields after the text.
xdotool key Tab Tab Tab Tab Tab Tab Down
sleep 0.5
import -window root -crop "$(framed "$dialog")" +repage docs/text-logo.png
SHOOT
