#!/usr/bin/env bash
# Under a real X server with a window manager that draws frames (openbox), the main window and
# the resolution dialog come back exactly where they were left, run after run, and carry their
# captions alone as titles. The offscreen platform has no frames, so only this test sees them.
#
# usage: window_placement_test.sh PATH/TO/logosmith
set -euo pipefail

program=$1
work=$(mktemp -d)
xvfb_pid= wm_pid= app_pid=

cleanup() {
    for pid in $app_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Polls a command until it succeeds, for at most $1 seconds.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# The window with this title, once it is on screen.
find_window() {
    timeout 120 xdotool search --sync --onlyvisible --name "^$1" | head -n 1
}

# The title the window manager shows must be the caption alone.
check_title() {
    local shown
    shown=$(xprop -id "$1" _NET_WM_NAME)
    [ "$shown" = "_NET_WM_NAME(UTF8_STRING) = \"$2\"" ] || fail "title $shown, not \"$2\""
}

window_gone() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# "x,y" of a window's frame: its client area's place on the screen less its place in the frame.
frame_of() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X/ {ax = $NF} /Absolute upper-left Y/ {ay = $NF}
        /Relative upper-left X/ {rx = $NF} /Relative upper-left Y/ {ry = $NF}
        END {print ax - rx "," ay - ry}'
}

# True once the window manager has put the window into a frame.
framed() {
    xwininfo -id "$1" | grep -q 'Relative upper-left Y: *[1-9]'
}

# Moves a window as a person would and waits until its frame has left the old place.
move_window() {
    local window=$1 x=$2 y=$3 before
    before=$(frame_of "$window")
    timeout 10 xdotool windowmove --sync "$window" "$x" "$y" || fail "the window did not move"
    wait_until 10 test "$(frame_of "$window")" != "$before" || fail "the frame did not move"
}

# Closes a window through its close box (the window manager's Alt+F4).
close_window() {
    xdotool windowactivate --sync "$1"
    xdotool key alt+F4
}

open_resolution_dialog() {
    local main=$1 attempt
    # The "file" menu sits at the left of the menu bar; "Setting" is the next menu and
    # "Resolution Setting" its first item.
    for attempt in 1 2 3; do
        xdotool windowactivate --sync "$main"
        xdotool mousemove --window "$main" 12 10 click 1
        xdotool key --delay 100 Right Return
        if wait_until 5 xdotool search --onlyvisible --name '^Set resolution' >/dev/null; then
            return 0
        fi
        xdotool key Escape Escape
    done
    fail "the resolution dialog did not open"
}

# One run of the program: prints "main=x,y resolution=x,y", where the windows came up or, when
# $1 and $2 ("x y") are given, where the person moved them.
run_program() {
    local move_main=${1:-} move_resolution=${2:-} main resolution main_at resolution_at
    "$program" >"$work/program.log" 2>&1 &
    app_pid=$!
    main=$(find_window 'KORVANT MRX-310 Logosmith')
    [ -n "$main" ] || fail "no main window titled \"KORVANT MRX-310 Logosmith\""
    check_title "$main" 'KORVANT MRX-310 Logosmith'
    wait_until 10 framed "$main" || fail "the window manager did not frame the main window"
    main_at=$(frame_of "$main")
    if [ -n "$move_main" ]; then
        # shellcheck disable=SC2086
        move_window "$main" $move_main
        main_at=$(frame_of "$main")
    fi

    open_resolution_dialog "$main"
    resolution=$(find_window 'Set resolution')
    check_title "$resolution" 'Set resolution'
    wait_until 10 framed "$resolution" || fail "the window manager did not frame the dialog"
    resolution_at=$(frame_of "$resolution")
    if [ -n "$move_resolution" ]; then
        # shellcheck disable=SC2086
        move_window "$resolution" $move_resolution
        resolution_at=$(frame_of "$resolution")
    fi

    close_window "$resolution"
    wait_until 10 window_gone "$resolution" || fail "the dialog did not close"
    close_window "$main"
    wait_until 120 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the program did not end"
    wait "$app_pid" || fail "the program ended with status $?: $(cat "$work/program.log")"
    app_pid=
    echo "main=$main_at resolution=$resolution_at"
}

# The X server on a free display, and the window manager.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
wait_until 30 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/KORVANT" "$work/root"
printf '[General]\nRootDir=%s/root/\n' "$work" >"$XDG_CONFIG_HOME/KORVANT/logosmith.ini"
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
wait_until 30 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"

# The first run places the windows where the window manager and the program choose; the
# person then moves both somewhere else.
run_program "101 83" "713 517" >"$work/left"
left=$(cat "$work/left")
echo "left at:     $left"
for restart in 1 2 3; do
    run_program >"$work/came_back"
    came_back=$(cat "$work/came_back")
    echo "restart $restart: $came_back"
    [ "$came_back" = "$left" ] || fail "restart $restart put the windows at $came_back, not $left"
done
echo "PASS"
