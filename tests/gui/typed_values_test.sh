#!/usr/bin/env bash
# Values typed into the panels' boxes as a person would, on a virtual display:
# usage typed_values_test.sh EDITOR MODEL.pwp ANIM.pwa
# - the robot opens with its walk; a click on its body in the view selects it;
# - in the Handling panel 0.5 typed into the position's X box and 30 into the rotation's X box,
#   each with Enter, are one step each; in the Animation panel 12 typed into the Frame box is a
#   third: saved, key 1 has 12 frames;
# - Undo (Alt+U in the Part panel) takes the frame count back: saved again, key 1 has its 10;
# - the live pose made the default one and saved: the body stands at (0.5, 0.95, 0), turned
#   30 degrees about X.
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

# Clicks the box whose centre stands at ($3, $4) in a panel $2 laid out $5 x $6 dialog units
# (window $1), types $7 over its text and Enter; waits for the probe to say $8.
type_into() {
    timeout 10 xdotool windowfocus --sync "$1"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --sync $((X + WIDTH * $3 / $5)) $((Y + HEIGHT * $4 / $6)) click 1
    xdotool key ctrl+a
    xdotool type --delay 20 "$7"
    xdotool key Return
    wait_probe "$8" "$7 typed into the $2 panel"
}
# The Handling panel is 140 x 104 dialog units: the position's boxes stand from 64 to 76, the
# rotation's from 89 to 101, the X boxes from 7 to 47.
handling_box() { type_into "$handling" Handling 27 "$1" 140 104 "$2" "$3"; }
# The Animation panel is 119 x 75: the Frame box stands at 25 .. 50, 37 .. 47.
frame_box() { type_into "$anim" Animation 37 42 119 75 "$1" "$2"; }
# Saves through the Part panel's menu or the Animation panel's Save ($1: part or anim) to $2
# and closes the notice that says so.
save_file() {
    local before
    before=$(editor_windows)
    if [ "$1" = part ]; then menu_command f s; else keys_to_window "$anim" alt+v; fi
    answer_dialog '^Save As$' "$2" "saving the $1 file" notice
    close_notice "$before" "saving the $1 file"
    [ -s "$2" ] || fail "nothing saved to $2"
}
# The frame counts line of animation file $1.
frame_counts() { grep -m 1 'g_frameCount' "$1" | tr -d '\r'; }
# The numbers of the VEC3 or QUAT line of array $2 for part $3 in file $1.
entry() {
    sed -n "/$2/,/};/p" "$1" | grep -m 1 "// $3"$'\r' | awk -F'[(,]' '{ print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}

(cd "$work" && exec ./posewrighter "$model" "$animation") &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
panel=$(wait_window '^Part Panel$')
handling=$(wait_window '^Handling Panel$')
anim=$(wait_window '^Animation Panel$')
if [ -z "$main" ] || [ -z "$panel" ] || [ -z "$handling" ] || [ -z "$anim" ]; then
    fail "the editor's window and its Part, Handling and Animation panels did not all show"
    exit 1
fi
wait_started

# ---- The body selected by a click in the view; its position and angle typed.
timeout 10 xdotool windowfocus --sync "$main"
xdotool mousemove --sync 320 225 click 1
wait_probe "selected=0" "the click on the body in the view"
handling_box 70 0.5 "undo=1"
handling_box 95 30 "undo=2"

# ---- The frame count typed for key 1, then undone.
frame_box 12 "key=1 undo=3"
save_file anim "$work/typed.pwa"
[ "$(frame_counts "$work/typed.pwa")" = "short g_frameCount[4] = {12, 10, 10, 10};" ] ||
    fail "typed frame count not saved: $(frame_counts "$work/typed.pwa")"
panel_keys alt+u
wait_probe "undo=2 redo=1" "Undo (Alt+U in the Part panel)"
save_file anim "$work/undone.pwa"
[ "$(frame_counts "$work/undone.pwa")" = "short g_frameCount[4] = {10, 10, 10, 10};" ] ||
    fail "Undo did not take the frame count back: $(frame_counts "$work/undone.pwa")"

# ---- The typed pose, made the default one and saved.
menu_command d u
menu_command d o
save_file part "$work/typed.pwp"
read -r px py pz _ < <(entry "$work/typed.pwp" g_posDef body.x)
[ "$px $py $pz" = "0.5 0.95 0" ] || fail "body at ($px, $py, $pz), expected (0.5, 0.95, 0)"
# 30 degrees about X: (sin 15°, 0, 0, cos 15°).
[ "$(entry "$work/typed.pwp" g_quaDef body.x)" = "0.258819 0 0 0.965926" ] ||
    fail "body turned $(entry "$work/typed.pwp" g_quaDef body.x), expected 30 degrees about X"

end_editor
finish_checks "typed values test"
