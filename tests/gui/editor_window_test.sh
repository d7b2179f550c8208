#!/usr/bin/env bash
# The editor on a virtual display: usage editor_window_test.sh EDITOR
# Run 1, without a settings file: the window titled "Posewrighter Version 1.02" appears at the
# screen's top-left corner (the panels beside and below it), 640 x 480, draws the background, the grid and the axes; Escape ends
# the program with exit code 0; its position and the Part panel's are stored; the debug log
# ("-dbf") holds the start-up and teardown lines in order.
# Run 2, with a stored position: the window opens there and stores it again.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_window_test.sh EDITOR}"

run_inside_xvfb 1024x768 "xdotool import convert" "$0" "$@"

# In a sanitizer build, leak reports at exit come from the system's GL and D-Bus libraries;
# memory errors still fail the run.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"


# The editor runs from a folder of its own: its settings file and debug log go beside it.
work=$(mktemp -d)
keep_state_in "$work"
pid=
trap end_editor_and_work EXIT
cp "$editor" "$work/posewrighter"
settings="$work/Posewrighter.ini"
probe="$work/probe.txt"
export POSEWRIGHTER_PROBE="$probe"

# The LEFT and TOP values stored under section $1, "LEFT TOP" when both are there once.
stored() {
    tr -d '\r' <"$settings" | sed -n "/^\\[$1\\]\$/,/^\\[/p" |
        sed -n -e 's/^LEFT= //p' -e 's/^TOP= //p' | tr '\n' ' ' | sed 's/ $//'
}

# Starts the editor, checks its window, closes it with Escape; sets $window_geometry and
# $exit_code; takes a screenshot into $1.
run_editor() {
    local shot="$1"
    probe_reset
    "$work/posewrighter" -dbf &
    pid=$!
    local window
    window=$(wait_window 'Posewrighter Version 1\.02$' 90)
    if [ -z "$window" ]; then
        fail "no window titled \"Posewrighter Version 1.02\""
        kill "$pid"
        wait "$pid"
        exit_code=none
        return
    fi
    wait_started
    wait_frames 2 "a few frames drawn"
    window_geometry=$(xdotool getwindowgeometry "$window")
    import -window root "$shot"
    press_escape "$window"
    if ! wait_for_exit "$pid" 100; then
        fail "the editor did not end on Escape"
        kill "$pid"
    fi
    wait "$pid"
    exit_code=$?
    pid=
}

pixel() { convert "$1" -format "%[hex:u.p{$2}]" info:; }

# ---- Run 1: no settings file yet.
run_editor "$work/shot1.png"
[ "$exit_code" = 0 ] || fail "exit code $exit_code, expected 0"
grep -q "Position: 0,0" <<<"$window_geometry" || fail "window not at 0,0: $window_geometry"
grep -q "Geometry: 640x480" <<<"$window_geometry" || fail "client area not 640x480: $window_geometry"

[ "$(pixel "$work/shot1.png" 5,5)" = 18415A ] || fail "background at (5,5) is not 18415A"
# The Y axis runs up through the view's centre, which looks at (0, 1, 0).
[ "$(pixel "$work/shot1.png" 320,240)" = 00FF00 ] || fail "no green Y axis at the centre"
colours=$(convert "$work/shot1.png" -crop 640x480+0+0 -format %c histogram:info:-)
for colour in 808080 FF0000 00FF00 0000FF; do
    grep -q "#$colour" <<<"$colours" || fail "colour $colour (grid or an axis) not drawn"
done

# The panels close first and store their positions before the main window's: its section is
# the last, and each of them holds the corner the first start's layout gave it (no window
# manager, so no frames): the Part panel beside the main window, the Animation panel below it.
for placed in "MAIN_WINDOW 0 0" "MAIN_DIALOG 648 0" "ANIM_DIALOG 0 488"; do
    section=${placed%% *}
    [ "$(stored "$section")" = "${placed#* }" ] ||
        fail "section $section does not hold ${placed#* }: $(od -c "$settings" 2>&1 | head -5)"
done
[ "$(grep -a '^\[' "$settings" | tail -n 1)" = $'[MAIN_WINDOW]\r' ] ||
    fail "the main window's position is not stored last: $(od -c "$settings" 2>&1 | head -5)"

# The start-up and teardown lines, in this order.
order=$(grep -x -E 'InitDebugStream|InitDirect3D|InitDirectInput|InitDirectSound|InitDirectMusic|FreeDirectMusic|FreeDirectSound|FreeInput|FreeDirect3D' \
    "$work/debug.txt" | tr '\n' ' ')
[ "$order" = "InitDebugStream InitDirect3D InitDirectInput InitDirectSound InitDirectMusic FreeDirectMusic FreeDirectSound FreeInput FreeDirect3D " ] ||
    fail "debug log order: $order"

# ---- Run 2: a stored position is restored and stored again.
printf '[MAIN_WINDOW]\r\nLEFT= 120\r\nTOP= 45\r\n' >"$settings"
run_editor "$work/shot2.png"
[ "$exit_code" = 0 ] || fail "second run: exit code $exit_code, expected 0"
grep -q "Position: 120,45" <<<"$window_geometry" || fail "window not restored to 120,45: $window_geometry"
if [ "$(head -c 35 "$settings")" != $'[MAIN_WINDOW]\r\nLEFT= 120\r\nTOP= 45\r' ] ||
    [ -z "$(stored MAIN_DIALOG)" ] || [ -z "$(stored ANIM_DIALOG)" ]; then
    fail "second run: position not stored again: $(od -c "$settings" | head -5)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "editor window test passed"
