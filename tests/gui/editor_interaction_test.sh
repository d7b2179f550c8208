#!/usr/bin/env bash
# The editor on the sample robot, driven by the mouse and keyboard on a virtual display:
# usage editor_interaction_test.sh EDITOR MODEL.pwp [ANIM.pwa]
# - the sample opens: the robot is drawn in the middle of the view, with no overlay text;
# - a left click on the robot's body selects it: the two overlay lines appear top-left;
# - a right-drag of 100 pixels orbits the camera: the view changes, the selection stays;
# - a left click on empty space clears the selection: the overlay text goes away;
# - a held Escape ends the program with exit code 0.
# Input is sampled once a frame, so every press is held for a few frames; after each action the
# test polls screenshots until the view has settled instead of sleeping a fixed time.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_interaction_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"
# The model and animation files are handed on to the editor as they are.
: "${2:?usage: editor_interaction_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"

run_inside_xvfb 1024x768 "xdotool import convert compare" "$0" "$@"

background=18415A
# The overlay's two lines sit in this top-left strip; without a selection it is plain background.
text_region=200x30+0+0
# The robot's body from the default camera, and a spot of sky with no part behind it.
body_x=320 body_y=215
empty_x=560 empty_y=60


# The editor runs from a folder of its own: no stored settings move its window or change it.
make_work_folder "$editor"
place_panels_aside "$work/Posewrighter.ini" 650

"$work/posewrighter" "${@:2}" &
pid=$!
window=$(timeout 90 xdotool search --sync --name 'Posewrighter Version 1\.02$' | head -n 1)
if [ -z "$window" ]; then
    echo "FAIL: no window titled \"Posewrighter Version 1.02\""
    exit 1
fi

# The window's client area on the root window, so screenshots hold the view alone.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH"x"$HEIGHT" = 640x480 ] || fail "client area is ${WIDTH}x$HEIGHT, expected 640x480"
shot_index=0
shoot() {
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
}

# Pixels that differ between two screenshots.
changed_pixels() {
    compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }'
}

# Pixels of the overlay strip that are not the plain background.
text_pixels() {
    convert "$1" -crop "$text_region" +repage -fill white +opaque "#$background" \
        -fill black -opaque "#$background" -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}

# Polls until two screenshots in a row are identical and the predicate (a command given the
# screenshot) holds; leaves that screenshot in $shot. Gives up after about 10 seconds.
settle() {
    local previous=
    shoot
    for _ in $(seq 40); do
        previous="$shot"
        sleep 0.25
        shoot
        if [ "$(changed_pixels "$previous" "$shot")" -eq 0 ] && "$@" "$shot"; then
            return 0
        fi
    done
    return 1
}

robot_drawn() { [ "$(convert "$1" -format "%[hex:u.p{$body_x,$body_y}]" info:)" != "$background" ]; }
has_text() { [ "$(text_pixels "$1")" -gt 0 ]; }
no_text() { [ "$(text_pixels "$1")" -eq 0 ]; }
differs_from() { local reference="$1"; shift; [ "$(changed_pixels "$reference" "$1")" -gt 0 ]; }

# A press held for a few frames at a point of the window.
click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    xdotool mouseup 1
}

# ---- The sample opens: the robot stands in the middle, no text without a selection.
settle robot_drawn || fail "the view did not settle with the robot drawn at ($body_x,$body_y)"
opened="$shot"
[ "$(text_pixels "$opened")" -eq 0 ] || fail "overlay text drawn with nothing selected"

# ---- A left click on the robot's body selects it: the overlay text appears.
click "$body_x" "$body_y"
settle has_text || fail "no overlay text after a click on the robot's body"
selected="$shot"
selected_text=$(text_pixels "$selected")
# Two lines of small text: more than a few stray pixels, far less than the whole strip.
if [ "$selected_text" -lt 50 ] || [ "$selected_text" -gt 3000 ]; then
    fail "overlay strip has $selected_text text pixels, expected two lines of text"
fi

# ---- A right-drag of 100 pixels orbits the camera: the view changes, the selection stays.
xdotool mousemove --window "$window" 270 300
sleep 0.2
xdotool mousedown 3
sleep 0.2
for step in $(seq 10); do
    xdotool mousemove --window "$window" $((270 + step * 10)) 300
    sleep 0.05
done
sleep 0.2
xdotool mouseup 3
settle differs_from "$selected" || fail "the view did not change after a right-drag"
orbited="$shot"
# The whole scene turns by 0.83 radians: the grid and the robot move across most of the view.
orbit_change=$(changed_pixels "$selected" "$orbited")
[ "$orbit_change" -ge 5000 ] || fail "only $orbit_change pixels changed after the orbit"
[ "$(text_pixels "$orbited")" -gt 0 ] || fail "the selection's text went away on orbiting"

# ---- A left click on empty space clears the selection: the text goes away.
click "$empty_x" "$empty_y"
settle no_text || fail "overlay text still drawn after a click on empty space"

# ---- Escape, held for a few frames, ends the program with exit code 0.
hold_escape "$window"
if ! wait_for_exit "$pid" 50; then
    fail "the editor did not end within 5 seconds of Escape"
    kill "$pid"
fi
wait "$pid"
exit_code=$?
pid=
[ "$exit_code" = 0 ] || fail "exit code $exit_code, expected 0"

[ "$failures" -eq 0 ] || exit 1
echo "editor interaction test passed"
