#!/usr/bin/env bash
# The Animation panel driven as a person would, on a virtual display:
# usage animation_panel_test.sh EDITOR MODEL.pwp ANIM.pwa
# - the editor opens the robot with its walk; the view holds still while Play is unticked;
# - Play ticked with its mnemonic (Alt+P): the robot walks, so views a few frames apart differ,
#   and they differ where the legs are;
# - Play unticked (Alt+P again): the robot holds still (two views in a row alike);
# - Play ticked again, then Load (Alt+L) of a broken file through the real file dialog (a path
#   typed, Enter): the reader's message box shows and closes on Enter; Play is unticked and
#   key 1 is shown: the panel's rows look as they do in an editor started without an
#   animation, and the robot holds still;
# - Escape ends the editor, which stores the panel's position under "ANIM_DIALOG";
# - opened again and seen from the right (keypad 3), Onion ticked with its mnemonic (Alt+N):
#   the ghost of key 2 joins the view beside the robot, which holds still; unticked (Alt+N
#   again), the view is as it was to the pixel.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: animation_panel_test.sh EDITOR MODEL.pwp ANIM.pwa"
editor="${1:?$usage}"
model="$(realpath "${2:?$usage}")"
animation="$(realpath "${3:?$usage}")"

run_inside_xvfb 1024x768 "xdotool import convert compare identify" "$0" "$@"

# The robot's legs from the default camera: the lower part of the figure in the middle.
legs_region=110x80+265+245

make_work_folder "$editor"
# The main window at the top-left corner, the Part panel beside it, the Animation panel below.
layout=$'[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n'
layout+=$'[ANIM_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n'
# The panels this test does not use, clear of the view and of each other (panels stay above the
# main window).
layout+=$'[HANDING_DIALOG]\r\nLEFT= 300\r\nTOP= 540\r\n[LIGHT_DIALOG]\r\nLEFT= 300\r\nTOP= 660\r\n'
layout+=$'[MATERIAL_DIALOG]\r\nLEFT= 660\r\nTOP= 470\r\n'
printf '%s' "$layout" >"$work/Posewrighter.ini"
printf 'short g_frameCount[2] = {10, 20};\r\nnot what an animation file holds\r\n' >"$work/broken.pwa"


# Starts the editor with the given files; sets $main and $panel once it draws.
start_editor() {
    probe_reset
    (cd "$work" && exec ./posewrighter "$@") &
    pid=$!
    main=$(wait_window 'Posewrighter Version 1\.02$' 90)
    panel=$(wait_window '^Animation Panel$' 90)
    [ -n "$main" ] && [ -n "$panel" ] && wait_started
}
# Pictures of a window ($1: main or panel), once the probe has said a frame is drawn.
shoot() {
    if [ "$1" = main ]; then drawn_shot "$main"; else drawn_shot "$panel"; fi
}
# The pixels that differ between the crops $3 of two pictures.
crop_changed() {
    convert "$1" -crop "$3" +repage "$work/crop_a.png"
    convert "$2" -crop "$3" +repage "$work/crop_b.png"
    changed_pixels "$work/crop_a.png" "$work/crop_b.png"
}
legs_changed() { crop_changed "$1" "$2" "$legs_region"; }
# The panel's rows of key, frame and buttons, without the slider between them, whose look
# follows the keyboard focus. The panel is 86 dialog units high; the slider stands from 19 to 32.
panel_rows_alike() {
    local width height
    read -r width height < <(identify -format '%w %h' "$1")
    local slider_top=$((height * 18 / 86)) slider_bottom=$((height * 34 / 86))
    [ "$(crop_changed "$1" "$2" "${width}x$slider_top+0+0")" -eq 0 ] &&
        [ "$(crop_changed "$1" "$2" "${width}x$((height - slider_bottom))+0+$slider_bottom")" -eq 0 ]
}
# The view drawn now and three frames later is the same picture: the robot holds still.
view_still() {
    local first
    shoot main
    first="$shot"
    wait_frames 3 "three frames to compare"
    window_shot "$main"
    [ "$(changed_pixels "$first" "$shot")" -eq 0 ]
}
# The legs move within a key's time (at most 30 frames, looked at every 3): the robot walks.
# Not within 3 frames alone: playback begins each run by going from the pose it finds to key 1,
# which after a stop at key 1 is no movement for a key's 10 frames.
legs_walking() {
    local first
    shoot main
    first="$shot"
    for _ in $(seq 10); do
        wait_frames 3 "three frames to compare"
        window_shot "$main"
        [ "$(legs_changed "$first" "$shot")" -gt 0 ] && return 0
    done
    return 1
}

# ---- Reference: an editor without an animation shows key 1 with no frames, Play unticked.
start_editor "$model" || { fail "no \"Animation Panel\" beside the editor's window"; exit 1; }
timeout 10 xdotool windowfocus --sync "$panel"
wait_probe "key=1 playing=0" "key 1 shown without an animation"
frames_after_input "the panel taking the keyboard"
shoot panel
reference="$shot"
end_editor

# ---- The robot with its walk; still until Play is ticked.
start_editor "$model" "$animation" || { fail "the editor did not open the sample"; exit 1; }
geometry=$(xdotool getwindowgeometry "$panel")
grep -q "Position: 20,540" <<<"$geometry" || fail "panel not at 20,540: $geometry"
wait_probe "parts=12 key=1 playing=0" "the sample opened"
view_still || fail "the view moved before Play was ticked"

panel_keys alt+p
wait_probe "playing=1" "Play ticked with Alt+P"
legs_walking || fail "the robot's legs did not move with Play ticked"

panel_keys alt+p
wait_probe "playing=0" "Play unticked with Alt+P"
view_still || fail "the robot moved after Play was unticked"

# ---- Playing again, then a broken file loaded: the message, Play unticked, key 1 shown.
panel_keys alt+p
wait_probe "playing=1" "Play ticked again"
legs_walking || fail "the robot did not walk again with Play ticked"
shoot panel
! panel_rows_alike "$reference" "$shot" || fail "the panel looks the same while playing"
before=$(editor_windows)
panel_keys alt+l
answer_dialog '^Open$' "$work/broken.pwa" "Load (Alt+L)" notice
close_notice "$before" "loading a broken file"
wait_probe "key=1 playing=0" "the failed load"
timeout 10 xdotool windowfocus --sync "$panel"
frames_after_input "the panel taking the keyboard"
shoot panel
panel_rows_alike "$reference" "$shot" ||
    fail "after the failed load the panel does not show key 1 with Play unticked (see $shot)"
view_still || fail "the robot did not hold still after the load"

# ---- Escape ends the editor; the panel's position is stored.
end_editor
[ "$(sed -n '/^\[ANIM_DIALOG\]/,/^\[/p' "$work/Posewrighter.ini" | tr -d '\r' | grep -c -x -e 'LEFT= 20' -e 'TOP= 540')" = 2 ] ||
    fail "panel position not stored: $(tr '\r' ' ' <"$work/Posewrighter.ini")"

# ---- Onion skin, seen from the right (keypad 3), where the walk swings the limbs out: the
# ghost of key 2 beside key 1.
start_editor "$model" "$animation" || { fail "the editor did not open the sample again"; exit 1; }
wait_probe "parts=12 key=1 playing=0 onion=0" "the sample opened again"
panel_keys KP_3
frames_after_input "the view from the right"
view_still || fail "the view from the right did not hold still"
plain="$shot"
panel_keys alt+n
wait_probe "onion=1 playing=0" "Onion ticked with Alt+N"
shoot main
onion="$shot"
[ "$(changed_pixels "$plain" "$onion")" -gt 200 ] ||
    fail "ticking Onion added no ghost to the view (see $onion)"
view_still || fail "the view moved with Onion ticked"
panel_keys alt+n
wait_probe "onion=0" "Onion unticked with Alt+N"
shoot main
[ "$(changed_pixels "$plain" "$shot")" -eq 0 ] ||
    fail "the view is not as before once Onion was unticked (see $shot)"
end_editor

finish_checks "animation panel test"
