#!/usr/bin/env bash
# Values typed into the panels' boxes as a person would, on a virtual display:
# usage typed_values_test.sh EDITOR MODEL.pwp ANIM.pwa
# The robot's body, selected by a click in the view, gets 0.5 typed into the Handling panel's
# position X box and 30 into its rotation X box, and key 1 gets 12 typed into the Animation
# panel's Frame box, each with Enter and each one step: saved, the animation holds 12 frames for
# key 1; after Undo (Alt+U in the Part panel) it holds 10 again; the part file saved with the
# live pose as the default one has the body at (0.5, 0.95, 0) turned 30 degrees about X.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: typed_values_test.sh EDITOR MODEL.pwp ANIM.pwa"
editor="${1:?$usage}"
model="$(realpath "${2:?$usage}")"
animation="$(realpath "${3:?$usage}")"

run_inside_xvfb 1024x768 "xdotool import convert" "$0" "$@"

make_work_folder "$editor"
place_windows_for_dragging "$work/Posewrighter.ini"
# The editor works on a copy: no save may reach the sample.
cp -r "$(dirname "$model")" "$work/robot"
model="$work/robot/$(basename "$model")"
animation="$work/robot/$(basename "$animation")"

# Clicks the point ($2, $3) of window $1 laid out $4 x $5 dialog units, types $6 over the box's
# text with Enter, and waits for the probe to say $7.
type_into() {
    timeout 10 xdotool windowfocus --sync "$1"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --sync $((X + WIDTH * $2 / $4)) $((Y + HEIGHT * $3 / $5)) click 1
    xdotool key ctrl+a
    xdotool type --delay 20 "$6"
    xdotool key Return
    wait_probe "$7" "$6 typed into a box"
}
# Saves through the Part panel's menu or the Animation panel's Save ($1: part or anim) to $2.
save_file() {
    local before
    before=$(editor_windows)
    if [ "$1" = part ]; then menu_command f a; else keys_to_window "$anim" alt+v; fi
    answer_dialog '^Save As$' "$2" "saving the $1 file" notice
    close_notice "$before" "saving the $1 file"
}
frame_counts() { grep -m 1 'g_frameCount' "$1" | tr -d '\r'; }

(cd "$work" && exec ./posewrighter "$model" "$animation") &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
panel=$(wait_window '^Part Panel$')
handling=$(wait_window '^Handling Panel$')
anim=$(wait_window '^Animation Panel$')
if [ -z "$main" ] || [ -z "$panel" ] || [ -z "$handling" ] || [ -z "$anim" ]; then
    fail "the editor's window and its panels did not all show"
    exit 1
fi
wait_started

timeout 10 xdotool windowfocus --sync "$main"
xdotool mousemove --sync 320 225 click 1
wait_probe "selected=0" "the click on the body in the view"
# The Handling panel is 140 x 104 dialog units: the X boxes stand from 7 to 47, the position's
# from 64 to 76, the rotation's from 89 to 101. The Animation panel's Frame box stands at
# 25 .. 50, 37 .. 47 of 119 x 86.
type_into "$handling" 27 70 140 104 0.5 "undo=1"
type_into "$handling" 27 95 140 104 30 "undo=2"
type_into "$anim" 37 42 119 86 12 "key=1 undo=3"
save_file anim "$work/typed.pwa"
[ "$(frame_counts "$work/typed.pwa")" = "short g_frameCount[4] = {12, 10, 10, 10};" ] ||
    fail "typed frame count not saved: $(frame_counts "$work/typed.pwa")"
panel_keys alt+u
wait_probe "undo=2 redo=1" "Undo (Alt+U in the Part panel)"
save_file anim "$work/undone.pwa"
[ "$(frame_counts "$work/undone.pwa")" = "short g_frameCount[4] = {10, 10, 10, 10};" ] ||
    fail "Undo did not take the frame count back: $(frame_counts "$work/undone.pwa")"

menu_command d u
menu_command d o
save_file part "$work/typed.pwp"
[ "$(entry "$work/typed.pwp" g_posDef body.x)" = "0.5 0.95 0 0" ] ||
    fail "body at $(entry "$work/typed.pwp" g_posDef body.x), expected 0.5 0.95 0"
# 30 degrees about X: (sin 15°, 0, 0, cos 15°).
[ "$(entry "$work/typed.pwp" g_quaDef body.x)" = "0.258819 0 0 0.965926" ] ||
    fail "body turned $(entry "$work/typed.pwp" g_quaDef body.x), expected 30 degrees about X"

end_editor
finish_checks "typed values test"
