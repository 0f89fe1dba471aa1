#!/usr/bin/env bash
# Takes docs/screenshot-dithered.png from the real program under Xvfb and openbox: the help
# page's photograph (app/help/help-images/dither-photo.jpg) as the library's only picture, with
# Setting -> Dithering -> Error Diffusion stored in the settings file. Needs a build
# (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$PWD/${LOGOSMITH_BUILD_DIR:-build}/bin/logosmith
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/storeImage" "$work/config/KORVANT"
convert app/help/help-images/dither-photo.jpg "BMP3:$work/root/storeImage/tempImage.bmp"
cp "$work/root/storeImage/tempImage.bmp" "$work/root/storeImage/photo.bmp"
size=$(stat -c %s "$work/root/storeImage/photo.bmp")
printf '[General]\nRootDir=%s/root/\n\n[history]\nn1=photo.bmp\ns1=%s\n\n[Dithering]\nMode=diffusion\n' \
  "$work" "$size" >"$work/config/KORVANT/logosmith.ini"

cat >"$work/shoot.sh" <<SHOOT
#!/usr/bin/env bash
openbox &
sleep 1
export XDG_CONFIG_HOME=$work/config
"$program" &
pid=\$!
sleep 3
wid=\$(xdotool search --name "KORVANT MRX-310 Logosmith" | head -1)
# The client area on the screen (xdotool reports openbox's frame position instead).
read -r x y w h < <(xwininfo -id "\$wid" | awk '/Absolute upper-left X/ {x=\$NF} /Absolute upper-left Y/ {y=\$NF}
  /Width:/ {w=\$NF} /Height:/ {h=\$NF} END {print x, y, w, h}')
import -window root -crop \${w}x\${h}+\${x}+\${y} +repage docs/screenshot-dithered.png
# Ended as a session end would; it writes its library before the folder goes.
kill \$pid
wait \$pid || true
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 800x700x24" "$work/shoot.sh"
