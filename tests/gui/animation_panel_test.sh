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
# - Escape ends the editor, which stores the panel's position under "ANIM_DIALOG".
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


# Starts the editor with the given files; sets $main and $panel.
start_editor() {
    (cd "$work" && exec ./posewrighter "$@") &
    pid=$!
    main=$(timeout 90 xdotool search --sync --onlyvisible --name 'Posewrighter Version 1\.02$' | head -n 1)
    panel=$(timeout 90 xdotool search --sync --onlyvisible --name '^Animation Panel$' | head -n 1)
    [ -n "$main" ] && [ -n "$panel" ]
}
# Pictures of a window ($1: main or panel) and the pixels that differ between two.
shoot() {
    if [ "$1" = main ]; then window_shot "$main"; else window_shot "$panel"; fi
}
# The pixels that differ between the crops $3 of two pictures.
crop_changed() {
    convert "$1" -crop "$3" +repage "$work/crop_a.png"
    convert "$2" -crop "$3" +repage "$work/crop_b.png"
    changed_pixels "$work/crop_a.png" "$work/crop_b.png"
}
legs_changed() { crop_changed "$1" "$2" "$legs_region"; }
# The panel's rows of key, frame and buttons, without the slider between them, whose look
# follows the keyboard focus. The panel is 75 dialog units high; the slider stands from 19 to 32.
panel_rows_alike() {
    local width height
    read -r width height < <(identify -format '%w %h' "$1")
    local slider_top=$((height * 18 / 75)) slider_bottom=$((height * 34 / 75))
    [ "$(crop_changed "$1" "$2" "${width}x$slider_top+0+0")" -eq 0 ] &&
        [ "$(crop_changed "$1" "$2" "${width}x$((height - slider_bottom))+0+$slider_bottom")" -eq 0 ]
}
# Polls (about 10 seconds) until two pictures of window $1 in a row are alike; leaves the last
# in $shot.
wait_still() {
    local previous
    shoot "$1"
    for _ in $(seq 40); do
        previous="$shot"
        sleep 0.25
        shoot "$1"
        [ "$(changed_pixels "$previous" "$shot")" -eq 0 ] && return 0
    done
    return 1
}
# Polls (about 10 seconds) until two views a few frames apart differ where the legs are.
wait_walking() {
    local previous
    shoot main
    for _ in $(seq 40); do
        previous="$shot"
        sleep 0.15
        shoot main
        [ "$(legs_changed "$previous" "$shot")" -gt 0 ] && return 0
    done
    return 1
}

# ---- Reference: an editor without an animation shows key 1 with no frames, Play unticked.
start_editor "$model" || { fail "no \"Animation Panel\" beside the editor's window"; exit 1; }
timeout 10 xdotool windowfocus --sync "$panel"
wait_still panel || fail "the panel did not settle"
reference="$shot"
end_editor

# ---- The robot with its walk; still until Play is ticked.
start_editor "$model" "$animation" || { fail "the editor did not open the sample"; exit 1; }
geometry=$(xdotool getwindowgeometry "$panel")
grep -q "Position: 20,540" <<<"$geometry" || fail "panel not at 20,540: $geometry"
wait_still main || fail "the view moved before Play was ticked"

panel_keys alt+p
wait_walking || fail "the robot's legs did not move with Play ticked"

panel_keys alt+p
if wait_still main; then
    held="$shot"
    sleep 0.5
    shoot main
    [ "$(changed_pixels "$held" "$shot")" -eq 0 ] || fail "the robot moved after Play was unticked"
else
    fail "the robot did not hold still after Play was unticked"
fi

# ---- Playing again, then a broken file loaded: the message, Play unticked, key 1 shown.
panel_keys alt+p
wait_walking || fail "the robot did not walk again with Play ticked"
shoot panel
! panel_rows_alike "$reference" "$shot" || fail "the panel looks the same while playing"
before=$(editor_windows)
panel_keys alt+l
if dialog=$(wait_new_window "$before"); then
    timeout 10 xdotool windowfocus --sync "$dialog"
    xdotool type --delay 5 "$work/broken.pwa"
    xdotool key Return
    wait_closed "$dialog" || fail "the file dialog stayed after Enter"
    if notice=$(wait_new_window "$before"); then
        timeout 10 xdotool windowfocus --sync "$notice"
        xdotool key Return
        wait_closed "$notice" || fail "the message box did not close on Enter"
    else
        fail "no message box after loading a broken file"
    fi
else
    fail "no file dialog after Alt+L"
fi
timeout 10 xdotool windowfocus --sync "$panel"
wait_still panel || fail "the panel did not settle after the load"
panel_rows_alike "$reference" "$shot" ||
    fail "after the failed load the panel does not show key 1 with Play unticked (see $shot)"
wait_still main || fail "the robot did not hold still after the load"

# ---- Escape ends the editor; the panel's position is stored.
end_editor
[ "$(sed -n '/^\[ANIM_DIALOG\]/,/^\[/p' "$work/Posewrighter.ini" | tr -d '\r' | grep -c -x -e 'LEFT= 20' -e 'TOP= 540')" = 2 ] ||
    fail "panel position not stored: $(tr '\r' ' ' <"$work/Posewrighter.ini")"

finish_checks "animation panel test"
