#!/usr/bin/env bash
# The editor's stored position under a window manager that frames its window (openbox) on a
# virtual display: usage editor_window_manager_test.sh EDITOR
# From no settings file, and again from a position stored in the middle of the screen, three
# runs in a row each: the frame's top-left corner (title bar included) stands where the settings
# file says, and the stored LEFT and TOP stay what they were.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_window_manager_test.sh EDITOR}"

run_inside_xvfb 1024x768 "xdotool xprop xwininfo openbox" "$0" "$@"

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"


work=$(mktemp -d)
pid= wm=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cp "$editor" "$work/posewrighter"
settings="$work/Posewrighter.ini"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || { echo "FAIL: openbox did not start"; exit 1; }

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

stored() {
    local left top
    left=$(tr -d '\r' <"$settings" | sed -n 's/^LEFT= *//p')
    top=$(tr -d '\r' <"$settings" | sed -n 's/^TOP= *//p')
    echo "$left,$top"
}

# One run: the frame must come to $1 (and settle there); Escape ends it; the settings must
# then hold $1 again.
run_expecting() {
    local expected="$1" label="$2" window corner=
    "$work/posewrighter" &
    pid=$!
    window=$(timeout 30 xdotool search --sync --name '^Posewrighter Version 1\.02$' | head -n 1)
    if [ -z "$window" ]; then
        fail "$label: no editor window"
        kill "$pid"
        wait "$pid"
        pid=
        return
    fi
    for _ in $(seq 50); do
        corner=$(frame_corner "$window") && [ "$corner" = "$expected" ] && break
        sleep 0.1
    done
    [ "$corner" = "$expected" ] || fail "$label: frame at ${corner:-no frame}, expected $expected"
    hold_escape "$window"
    wait_for_exit "$pid" 100 || { fail "$label: the editor did not end on Escape"; kill "$pid"; }
    wait "$pid"
    pid=
    [ "$(stored)" = "$expected" ] || fail "$label: stored $(stored), expected $expected"
}

for run in 1 2 3; do run_expecting 0,0 "from no settings, run $run"; done
printf '[MAIN_WINDOW]\r\nLEFT= 200\r\nTOP= 150\r\n' >"$settings"
for run in 1 2 3; do run_expecting 200,150 "from 200,150, run $run"; done

[ "$failures" -eq 0 ] || exit 1
echo "editor window manager test passed"
