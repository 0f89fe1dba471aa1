#!/usr/bin/env bash
# Takes the screenshots in docs/ from the real program under Xvfb and openbox: a demo library of one
# picture, shown as loaded (docs/screenshot.png) and after choosing "Green  "
# (docs/screenshot-green.png). Needs a build (scripts/build.sh); installs xdotool if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xdotool >/dev/null || apt-get install -y -qq xdotool
program=$PWD/${LOGOSMITH_BUILD_DIR:-build}/bin/logosmith
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/storeImage" "$work/config/KORVANT"
convert -size 240x160 xc:white -fill '#d01010' -draw "circle 60,80 60,20" \
  -fill black -draw "rectangle 130,30 220,130" -fill '#20b030' -draw "polygon 100,155 140,100 180,155" \
  -fill '#3050e0' -draw "rectangle 10,5 60,25" "BMP3:$work/root/storeImage/tempImage.bmp"
cp "$work/root/storeImage/tempImage.bmp" "$work/root/storeImage/logo.bmp"
printf '[General]\nRootDir=%s/root/\n\n[history]\nn1=logo.bmp\ns1=115254\n' "$work" \
  >"$work/config/KORVANT/logosmith.ini"

cat >"$work/shoot.sh" <<SHOOT
#!/usr/bin/env bash
export XDG_CONFIG_HOME=$work/config
openbox &
sleep 1
"$program" &
pid=\$!
sleep 3
wid=\$(xdotool search --name "KORVANT MRX-310 Logosmith" | head -1)
# The window as the person sees it: the frame openbox draws around it included.
geometry() {
  read -r left right top bottom < <(xprop -id "\$wid" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print \$3, \$4, \$5, \$6}')
  xwininfo -id "\$wid" | awk -v l="\$left" -v r="\$right" -v t="\$top" -v b="\$bottom" '
    /Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4} /Width:/{w=\$2} /Height:/{h=\$2}
    END{print w + l + r "x" h + t + b "+" x - l "+" y - t}'
}
frame=\$(geometry)
import -window root -crop "\$frame" +repage docs/screenshot.png
# "Green  " sits in the Cartridge Color group.
read -r X Y < <(xwininfo -id "\$wid" | awk '/Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4} END{print x, y}')
xdotool mousemove \$((X + 350)) \$((Y + 22 + 158 + 119)) click 1
sleep 1
import -window root -crop "\$frame" +repage docs/screenshot-green.png
kill \$pid
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 900x760x24" "$work/shoot.sh"
