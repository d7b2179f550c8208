#!/usr/bin/env bash
# The editor on the sample robot, driven by the mouse and keyboard on a virtual display:
# usage editor_interaction_test.sh EDITOR MODEL.pwp [ANIM.pwa]
# - the sample opens: the robot is drawn in the middle of the view, with no overlay text;
# - a left click on the robot's body selects it: the two overlay lines appear top-left;
# - a right-drag of 100 pixels orbits the camera: the view changes, the selection stays;
# - a left click on empty space clears the selection: the overlay text goes away;
# - Escape ends the program with exit code 0.
# After each action the test waits until the editor's probe reports the state and a frame drawn
# with it, then looks at the view.
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
window=$(wait_window 'Posewrighter Version 1\.02$' 90)
if [ -z "$window" ]; then
    echo "FAIL: no window titled \"Posewrighter Version 1.02\""
    exit 1
fi
wait_started

# The window's client area on the root window, so screenshots hold the view alone.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH"x"$HEIGHT" = 640x480 ] || fail "client area is ${WIDTH}x$HEIGHT, expected 640x480"

# Pixels of the overlay strip that are not the plain background.
text_pixels() {
    convert "$1" -crop "$text_region" +repage -fill white +opaque "#$background" \
        -fill black -opaque "#$background" -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}
robot_drawn() { [ "$(convert "$1" -format "%[hex:u.p{$body_x,$body_y}]" info:)" != "$background" ]; }

# A quick click at a point of the window (the editor keeps the press for its next frame), which
# is given the keyboard first: the view takes the mouse while its window is the active one.
click() {
    timeout 10 xdotool windowfocus --sync "$window"
    xdotool mousemove --sync --window "$window" "$1" "$2" click 1
}

# ---- The sample opens: the robot stands in the middle, no text without a selection.
drawn_shot "$window"
opened="$shot"
robot_drawn "$opened" || fail "the robot is not drawn at ($body_x,$body_y)"
[ "$(text_pixels "$opened")" -eq 0 ] || fail "overlay text drawn with nothing selected"

# ---- A left click on the robot's body selects it: the overlay text appears.
click "$body_x" "$body_y"
wait_probe "!selected=none" "a click on the robot's body"
drawn_shot "$window"
selected="$shot"
selected_text=$(text_pixels "$selected")
# Two lines of small text: more than a few stray pixels, far less than the whole strip.
if [ "$selected_text" -lt 50 ] || [ "$selected_text" -gt 3000 ]; then
    fail "overlay strip has $selected_text text pixels, expected two lines of text"
fi

# ---- A right-drag of 100 pixels orbits the camera: the view changes, the selection stays.
timeout 10 xdotool windowfocus --sync "$window"
xdotool mousemove --sync --window "$window" 270 300 mousedown 3
frames_after_input "the right button's press"
for step in $(seq 10); do
    xdotool mousemove --sync --window "$window" $((270 + step * 10)) 300
done
frames_after_input "the right-drag's last move"
xdotool mouseup 3
frames_after_input "the right button's release"
wait_probe "!selected=none" "the selection kept through the orbit"
drawn_shot "$window"
orbited="$shot"
# The whole scene turns by 0.83 radians: the grid and the robot move across most of the view.
orbit_change=$(changed_pixels "$selected" "$orbited")
[ "$orbit_change" -ge 5000 ] || fail "only $orbit_change pixels changed after the orbit"
[ "$(text_pixels "$orbited")" -gt 0 ] || fail "the selection's text went away on orbiting"

# ---- A left click on empty space clears the selection: the text goes away.
click "$empty_x" "$empty_y"
wait_probe "selected=none" "a click on empty space"
drawn_shot "$window"
[ "$(text_pixels "$shot")" -eq 0 ] || fail "overlay text still drawn after a click on empty space"

# ---- Escape ends the program with exit code 0.
press_escape "$window"
if ! wait_for_exit "$pid" 50; then
    fail "the editor did not end within 5 seconds of Escape"
    kill "$pid"
fi
wait "$pid"
exit_code=$?
pid=
[ "$exit_code" = 0 ] || fail "exit code $exit_code, expected 0"

finish_checks "editor interaction test"
