#!/usr/bin/env bash
# The Material panel driven with the mouse as a person would, on a virtual display:
# usage material_panel_test.sh EDITOR MODEL
# - the sample robot opens; a click on the row of its body's blue (0.300 0.420 0.680) selects
#   it and the red track bar takes its 0.300;
# - the red track bar's knob is dragged to the right end: while the button is held the view
#   stays as it was; released, the blue parts (body, arms, legs) turn pink;
# - Escape ends the editor, whose settings file then holds the replacement under the base
#   colour; started again, the robot comes back pink.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: material_panel_test.sh EDITOR MODEL"
editor="${1:?$usage}"
model="$(cd "$(dirname "${2:?$usage}")" && pwd)/$(basename "$2")"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
# The main window at the top-left corner, the Material panel beside it, the other panels below.
printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MATERIAL_DIALOG]\r\nLEFT= 660\r\nTOP= 0\r\n' \
    >"$work/Posewrighter.ini"
for section in MAIN_DIALOG ANIM_DIALOG HANDING_DIALOG LIGHT_DIALOG; do
    printf '[%s]\r\nLEFT= 660\r\nTOP= 420\r\n' "$section" >>"$work/Posewrighter.ini"
done

# The mean colour (0 .. 255 a channel) of a patch of the body's blue, left of its chest picture.
body_colour() {
    convert "$1" -crop 6x20+299+205 +repage \
        -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:
}

# Starts the editor on the robot and waits for its view to settle; the picture is in $shot.
start_editor() {
    probe_reset
    (cd "$work" && exec ./posewrighter "$model") &
    pid=$!
    main=$(wait_window 'Posewrighter Version 1\.02$' 90)
    material=$(wait_window '^Material Panel$')
    if [ -z "$main" ] || [ -z "$material" ]; then
        fail "the editor's window and its Material panel did not both show"
        exit 1
    fi
    wait_started
    drawn_shot "$main"
}

# ---- The robot as loaded: its blue is the base colour.
start_editor
loaded="$shot"
read -r r g b <<<"$(body_colour "$loaded")"
[ "$b" -gt "$r" ] || fail "the body is not blue as loaded: $r $g $b"

# ---- Select the body's row (the sixth), then drag the red knob from 0.300 to the right end.
eval "$(xdotool getwindowgeometry --shell "$material")"
panel_x=$X panel_y=$Y
drawn_shot "$material"
unselected="$shot"
xdotool mousemove --sync $((panel_x + 60)) $((panel_y + 120)) click 1
frames_after_input "the click on the row"
drawn_shot "$material"
[ "$(changed_pixels "$unselected" "$shot")" -gt 0 ] || fail "the row was not selected"

knob_x=$((panel_x + 54 + 300 * 160 / 1000)) knob_y=$((panel_y + 174))
xdotool mousemove --sync "$knob_x" "$knob_y" mousedown 1
for _ in $(seq 10); do
    xdotool mousemove_relative --sync -- 25 0
done
frames_after_input "the knob dragged"
drawn_shot "$main"
[ "$(changed_pixels "$loaded" "$shot")" -eq 0 ] || fail "the view changed before the knob was let go"
xdotool mouseup 1
frames_after_input "the knob let go"
drawn_shot "$main"
[ "$(changed_pixels "$loaded" "$shot")" -gt 0 ] || fail "the view did not change when the knob was let go"
recoloured="$shot"
read -r r g b <<<"$(body_colour "$recoloured")"
[ "$r" -gt "$b" ] || fail "the body is not pink after the change: $r $g $b"

# ---- Kept in the settings file under the base colour, and shown again at the next start.
end_editor
grep -q -x -F $'0.3000.4200.680=1.0000.4200.680\r' "$work/Posewrighter.ini" ||
    fail "the settings file does not hold the replacement: $(grep -a '^0\.300' "$work/Posewrighter.ini")"
start_editor
[ "$(body_colour "$shot")" = "$(body_colour "$recoloured")" ] ||
    fail "the body came back $(body_colour "$shot"), expected $(body_colour "$recoloured")"
end_editor

finish_checks "material panel test"
