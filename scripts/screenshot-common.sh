# Sourced by the screenshot scripts: a scratch library and settings folder for the real
# program, and, under Xvfb, starting it beside openbox and finding where its windows are.
#
# screenshot_setup      sets $program (the build's logosmith), $common (this file) and $work, a
#                       scratch folder removed on exit, with root/storeImage and config/KORVANT
# library_of_one NAME   makes root/storeImage/tempImage.bmp the library's only picture, NAME,
#                       and starts the settings file: its folder and history
# under_xvfb SCREEN     runs the script on its input under Xvfb (SCREEN as 800x600x24), with
#                       these functions, $work and $program, the program started before it
#                       and ended after it
# start_session         (under Xvfb) openbox, then the program once openbox manages windows;
#                       sets $pid
# end_session           (under Xvfb) ends the program as a session end would and waits for it:
#                       it writes its settings and library before the folder goes
# window_named TITLE    (under Xvfb) waits for a shown window whose title starts so; its id
# client_area WINDOW    "X Y WIDTH HEIGHT" of its client area on the screen (xdotool would add
#                       openbox's frame to the place)
# framed WINDOW         "WIDTHxHEIGHT+X+Y" of the window with the frame openbox draws around it

screenshot_setup() {
  cd "$(dirname "${BASH_SOURCE[0]}")/.."
  common=$PWD/scripts/screenshot-common.sh
  program=$PWD/${LOGOSMITH_BUILD_DIR:-build}/bin/logosmith
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/root/storeImage" "$work/config/KORVANT"
}

library_of_one() {
  local store=$work/root/storeImage
  cp "$store/tempImage.bmp" "$store/$1"
  printf '[General]\nRootDir=%s/root/\n\n[history]\nn1=%s\ns1=%s\n' \
    "$work" "$1" "$(stat -c %s "$store/$1")" >"$work/config/KORVANT/logosmith.ini"
}

under_xvfb() {
  {
    printf '#!/usr/bin/env bash\nset -euo pipefail\nsource %q\nwork=%q program=%q\nstart_session\n' \
      "$common" "$work" "$program"
    cat
    printf 'end_session\n'
  } >"$work/shoot.sh"
  chmod +x "$work/shoot.sh"
  xvfb-run -a -s "-screen 0 $1" "$work/shoot.sh"
}

start_session() {
  export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
  openbox --sm-disable >/dev/null 2>&1 &
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done
  "$program" >"$work/program.log" 2>&1 &
  pid=$!
}

end_session() {
  kill "$pid"
  wait "$pid" || true
}

window_named() {
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1" | head -1)
  sleep 1 # drawn, not only mapped
  echo "$id"
}

client_area() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}

framed() {
  local x y w h left right top bottom
  read -r x y w h < <(client_area "$1")
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' |
    awk '{print $3, $4, $5, $6}')
  echo "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))"
}
