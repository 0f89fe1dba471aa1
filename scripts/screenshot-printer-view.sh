#!/usr/bin/env bash
# Takes docs/printer-view.png from the real program under Xvfb and openbox: a demo library of one
# red-and-black logo at double density ("Double Density 208*96"), shown by the "Printer View"
# button. Needs a build (scripts/build.sh) and the packages of scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$PWD/${LOGOSMITH_BUILD_DIR:-build}/bin/logosmith
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/storeImage" "$work/config/KORVANT"
convert -size 160x100 xc:white -fill '#ff0000' -draw "circle 40,50 40,12" \
  -fill black -draw "rectangle 88,18 148,82" -fill white -draw "rectangle 100,30 136,70" \
  -fill black -draw "polygon 20,96 40,70 60,96" "BMP3:$work/root/storeImage/tempImage.bmp"
cp "$work/root/storeImage/tempImage.bmp" "$work/root/storeImage/logo.bmp"
# The view's place and size: the client area from (40, 60) to (760, 620), large enough for Fit
# to draw the logo at twice 100 %. Quoted, as the program writes it: a bare list with commas
# would be read as several values.
cat >"$work/config/KORVANT/logosmith.ini" <<INI
[General]
RootDir=$work/root/

[history]
n1=logo.bmp
s1=48054

[resol]
index=2

[printerview]
NormPos="40,60,760,620"
INI

cat >"$work/shoot.sh" <<SHOOT
#!/usr/bin/env bash
set -euo pipefail
export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done
"$program" >"$work/program.log" 2>&1 &
pid=\$!
# A window's client area on the screen; xwininfo's, as xdotool adds the frame to the place.
geometry() {
  xwininfo -id "\$1" | awk '/Absolute upper-left X/ {x = \$4} /Absolute upper-left Y/ {y = \$4}
    /Width:/ {w = \$2} /Height:/ {h = \$2} END {print "X=" x " Y=" y " WIDTH=" w " HEIGHT=" h}'
}
main=\$(timeout 30 xdotool search --sync --onlyvisible --name "^KORVANT MRX-310 Logosmith" | head -1)
sleep 1
eval \$(geometry "\$main")
# "Printer View" sits beside "Exit", about 20 pixels above the bottom of the client area.
xdotool mousemove \$((X + 452)) \$((Y + HEIGHT - 20)) click 1
view=\$(timeout 30 xdotool search --sync --onlyvisible --name "^Printer View" | head -1)
sleep 1
eval \$(geometry "\$view")
# The frame openbox draws around it: left, right, top, bottom.
read -r left right top bottom < <(xprop -id "\$view" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print \$3, \$4, \$5, \$6}')
import -window root "$work/root.png"
convert "$work/root.png" -crop \$((WIDTH + left + right))x\$((HEIGHT + top + bottom))+\$((X - left))+\$((Y - top)) +repage docs/printer-view.png
kill \$pid
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/shoot.sh"
