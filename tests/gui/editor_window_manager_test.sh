#!/usr/bin/env bash
# The editor's stored position under a window manager that frames its window (openbox) on a
# virtual display: usage editor_window_manager_test.sh EDITOR
# From no settings file, and again from positions stored in the middle of the screen, three
# runs in a row each: the frame's top-left corner (title bar included) of the main window and of
# the Part panel stands where the settings file says, and the stored LEFT and TOP stay what they
# were.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_window_manager_test.sh EDITOR}"

run_inside_xvfb 1024x768 "xdotool xprop xwininfo openbox" "$0" "$@"

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"


work=$(mktemp -d)
keep_state_in "$work"
pid='' wm=''
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cp "$editor" "$work/posewrighter"
settings="$work/Posewrighter.ini"
probe="$work/probe.txt"
export POSEWRIGHTER_PROBE="$probe"

launch_openbox

# The frame's top-left corner: the client area's position less the frame's left and top edges.
frame_corner() {
    local extents x y
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r left _ top _ <<<"$extents"
    [ "$top" -gt 0 ] || return 1  # not framed (yet)
    x=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
    echo "$((x - left)),$((y - top))"
}

# LEFT and TOP of section $1.
stored() {
    local section left top
    section=$(tr -d '\r' <"$settings" | sed -n "/^\[$1\]\$/,/^\[/p")
    left=$(sed -n 's/^LEFT= *//p' <<<"$section")
    top=$(sed -n 's/^TOP= *//p' <<<"$section")
    echo "$left,$top"
}

# Waits (5 seconds) until the frame of window $1 stands at $2; sets $corner to where it stands.
corner_is() { corner=$(frame_corner "$1") && [ "$corner" = "$2" ]; }
wait_corner() { wait_until 5 corner_is "$1" "$2"; }

# One run: the main window's frame must come to $1 and the Part panel's to $2 (and settle
# there); Escape ends it; the settings must then hold both again.
run_expecting() {
    local expected="$1" expected_panel="$2" label="$3" window panel corner=
    probe_reset
    "$work/posewrighter" &
    pid=$!
    window=$(wait_window 'Posewrighter Version 1\.02$' 90)
    if [ -z "$window" ]; then
        fail "$label: no editor window"
        kill "$pid"
        wait "$pid"
        pid=
        return
    fi
    wait_corner "$window" "$expected" ||
        fail "$label: frame at ${corner:-no frame}, expected $expected"
    panel=$(wait_window '^Part Panel$' 90)
    wait_corner "$panel" "$expected_panel" ||
        fail "$label: panel's frame at ${corner:-no frame}, expected $expected_panel"
    wait_started
    press_escape "$window"
    wait_for_exit "$pid" 100 || { fail "$label: the editor did not end on Escape"; kill "$pid"; }
    wait "$pid"
    pid=
    [ "$(stored MAIN_WINDOW)" = "$expected" ] ||
        fail "$label: stored $(stored MAIN_WINDOW), expected $expected"
    [ "$(stored MAIN_DIALOG)" = "$expected_panel" ] ||
        fail "$label: panel stored at $(stored MAIN_DIALOG), expected $expected_panel"
}

# From no settings the first start's layout puts the Part panel beside the main window: 8 pixels
# right of its 642-pixel frame.
for run in 1 2 3; do run_expecting 0,0 650,0 "from no settings, run $run"; done
printf '[MAIN_WINDOW]\r\nLEFT= 200\r\nTOP= 150\r\n[MAIN_DIALOG]\r\nLEFT= 700\r\nTOP= 90\r\n' >"$settings"
for run in 1 2 3; do run_expecting 200,150 700,90 "from 200,150 and 700,90, run $run"; done

[ "$failures" -eq 0 ] || exit 1
echo "editor window manager test passed"
