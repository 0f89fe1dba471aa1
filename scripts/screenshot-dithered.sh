#!/usr/bin/env bash
# Takes docs/screenshot-dithered.png from the real program under Xvfb and openbox: the help
# page's photograph (app/help/help-images/dither-photo.jpg) as the library's only picture, with
# Setting -> Dithering -> Error Diffusion stored in the settings file. Needs a build
# (scripts/build.sh).
set -euo pipefail
source "$(dirname "$0")/screenshot-common.sh"
screenshot_setup
convert app/help/help-images/dither-photo.jpg "BMP3:$work/root/storeImage/tempImage.bmp"
library_of_one photo.bmp
printf '\n[Dithering]\nMode=diffusion\n' >>"$work/config/KORVANT/logosmith.ini"

under_xvfb 800x700x24 <<'SHOOT'
wid=$(window_named "KORVANT MRX-310 Logosmith")
read -r x y w h < <(client_area "$wid")
import -window root -crop ${w}x${h}+${x}+${y} +repage docs/screenshot-dithered.png
SHOOT
