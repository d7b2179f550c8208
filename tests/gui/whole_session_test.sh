#!/usr/bin/env bash
# A whole working session, driven as a person would with the menus, the panels and the real file
# dialogs, on a virtual display: usage whole_session_test.sh EDITOR CLI MESH_FOLDER
# - the editor starts empty; a root and two children are added (Edit > Add child part);
# - two parts, each selected with a click on its row in the tree, are posed by dragging the
#   Handling panel's move pictures: the root along X, the head along Y;
# - key 1 is stored (Set) with 6 frames, the root dragged back a little, key 2 stored with 4;
# - Play (Alt+P) makes the view move, Play again stops it;
# - the live pose is made the default one and the part file saved, the animation saved (both
#   through the save dialogs); Load of the saved animation shows key 1, whose pose Get takes;
# - Escape ends the editor; started again, both files are opened through the dialogs: the view
#   shows the same picture, and after Load and Get of key 1 the same picture as before;
# - the files hold the bytes the writers give for that model (posewrighter-cli resave and
#   resave-anim), and saved again by the second run they are byte for byte the first ones.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: whole_session_test.sh EDITOR CLI MESH_FOLDER"
editor="${1:?$usage}"
cli="${2:?$usage}"
meshes="$(cd "${3:?$usage}" && pwd)"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
{
    printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n'
    printf '[ANIM_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n[HANDING_DIALOG]\r\nLEFT= 300\r\nTOP= 540\r\n'
    printf '[LIGHT_DIALOG]\r\nLEFT= 660\r\nTOP= 560\r\n[MATERIAL_DIALOG]\r\nLEFT= 700\r\nTOP= 600\r\n'
} >"$work/Posewrighter.ini"

# The Animation panel's arrows that raise the key number and the frame count, on the screen.
key_raise="140 555"
frame_raise="140 609"
get_button="190 559"

start_editor() {
    probe_reset
    (cd "$work" && exec ./posewrighter) &
    pid=$!
    main=$(wait_window 'Posewrighter Version 1\.02$' 90)
    panel=$(wait_window '^Part Panel$')
    anim=$(wait_window '^Animation Panel$')
    handling=$(wait_window '^Handling Panel$')
    if [ -z "$main" ] || [ -z "$panel" ] || [ -z "$anim" ] || [ -z "$handling" ]; then
        fail "the editor's window and its Part, Animation and Handling panels did not all show"
        exit 1
    fi
    wait_started
}
# A button of the Animation panel by its mnemonic.
anim_button() { keys_to_window "$anim" "alt+$1"; }
# $2 quick clicks on the arrow at screen point $1 (each arrow press is one step).
click_arrow() {
    # shellcheck disable=SC2086 # the point is two words
    xdotool mousemove --sync $1
    for _ in $(seq "$2"); do
        xdotool click 1
    done
}
# Saves through the Part panel's menu or the Animation panel's Save button ($1: part or anim) to
# $2 (no extension), and closes the notice that says so.
save_file() {
    local before
    before=$(editor_windows)
    if [ "$1" = part ]; then menu_command f s; else anim_button v; fi
    answer_dialog '^Save As$' "$2" "saving the $1 file" notice
    close_notice "$before" "saving the $1 file"
}
# Loads the animation file $1 with the Animation panel's Load button.
# Get, clicked: the pose of the key shown. (A click, not Alt+G: without a window manager the
# panel is not always the active window when the key arrives, and a Get leaves no mark in the
# probe to wait on.)
get_key() {
    xdotool mousemove --sync "${get_button% *}" "${get_button#* }" click 1
    frames_after_input "Get clicked"
}
load_animation() {
    anim_button l
    answer_dialog '^Open$' "$1" "loading the animation"
}
# The view drawn now and three frames later differ ("moving") or are alike ("still").
view_is() {
    local first changed
    drawn_shot "$main"
    first="$shot"
    wait_frames 3 "three frames to compare"
    window_shot "$main"
    changed=$(changed_pixels "$first" "$shot")
    if [ "$1" = moving ]; then [ "$changed" -gt 0 ]; else [ "$changed" -eq 0 ]; fi
}

# ---- First run: three parts built from the menus.
start_editor
drawn_shot "$main"
empty="$shot"
menu_command e a
answer_dialog '^Open$' "$meshes/body.x" "adding the root"
wait_probe "parts=1" "the root added"
count=1
for child in head.x upper_arm_l.x; do
    panel_keys Home
    menu_command e a
    answer_dialog '^Open$' "$meshes/$child" "adding $child"
    count=$((count + 1))
    wait_probe "parts=$count" "$child added"
done
drawn_shot "$main"
[ "$(changed_pixels "$empty" "$shot")" -gt 0 ] || fail "the parts are not drawn"

# ---- Two parts posed by dragging: the root (clicked in the tree) along X, the head along Y.
root_row="730 105"
head_row="750 119"
# Selects the part $2 whose tree row is at screen point $1, then drags the Handling panel's
# picture of colour $3 by $4 pixels to the right.
# Without a window manager the keyboard focus stays where it was put: it is moved as one would
# move it, to the main window (where the focus returns after the file dialogs), then to the Part
# panel being clicked, and drag_from gives it to the Handling panel. The main window thus knows
# it is no longer the active one, and the press on a picture is no click in the view.
drag_picture() {
    local at
    timeout 10 xdotool windowfocus --sync "$main"
    timeout 10 xdotool windowfocus --sync "$panel"
    # shellcheck disable=SC2086 # the point is two words
    xdotool mousemove --sync $1 click 1
    wait_probe "selected=$2" "part $2 selected by a click on its row"
    if at=$(find_colour "$handling" "$3"); then
        read -r ax ay <<<"$at"
        drag_from "$ax" "$ay" "$4" 60 "$handling"
    else
        fail "no picture of colour $3 in the Handling panel"
    fi
}
drag_picture "$root_row" 0 '#D21E1E' 120
drag_picture "$head_row" 1 '#149628' 100

# ---- Key 1 with 6 frames; the root dragged back a little; key 2 with 4 frames.
click_arrow "$frame_raise" 6
anim_button s
click_arrow "$key_raise" 1
wait_probe "key=2" "key 2 chosen with the arrow"
drag_picture "$root_row" 0 '#D21E1E' -60
click_arrow "$frame_raise" 4
anim_button s
wait_probe "unsaved=part,anim" "the keys stored"

# ---- Play moves the view; Play again holds it still.
anim_button p
wait_probe "playing=1" "Play ticked"
view_is moving || fail "the view did not move while playing"
anim_button p
wait_probe "playing=0" "Play unticked"
view_is still || fail "the view did not hold still after Play was unticked"

# ---- The live pose made the default one, both files saved; the view without a selection.
menu_command d u
menu_command d o
save_file part "$work/session"
save_file anim "$work/session"
wait_probe "unsaved=none" "both files saved"
timeout 10 xdotool windowfocus --sync "$main"
xdotool mousemove --sync 600 40 click 1
wait_probe "selected=none" "a click on empty space"
drawn_shot "$main"
saved_view="$shot"
load_animation "$work/session.pwa"
wait_probe "key=1" "the saved animation loaded"
get_key
drawn_shot "$main"
key1_view="$shot"
[ "$(changed_pixels "$saved_view" "$key1_view")" -gt 0 ] || fail "Get did not bring back key 1"
end_editor

if [ ! -s "$work/session.pwp" ] || [ ! -s "$work/session.pwa" ]; then
    fail "the files were not saved"
    exit 1
fi
head -n 1 "$work/session.pwa" | grep -q -x -F $'short g_frameCount[2] = {6, 4};\r' ||
    fail "the animation file does not hold keys of 6 and 4 frames: $(head -n 1 "$work/session.pwa")"

# ---- The writers' bytes for that model.
"$cli" resave "$work/session.pwp" "$work/writer.pwp" >/dev/null || fail "resave failed"
"$cli" resave-anim "$work/session.pwp" "$work/session.pwa" "$work/writer.pwa" >/dev/null ||
    fail "resave-anim failed"
cmp -s "$work/session.pwp" "$work/writer.pwp" || fail "the part file is not the writer's"
cmp -s "$work/session.pwa" "$work/writer.pwa" || fail "the animation file is not the writer's"

# ---- Second run: both files opened; the same pictures, and the same files saved again.
start_editor
menu_command f o
answer_dialog '^Open$' "$work/session.pwp" "opening the part file"
wait_probe "parts=3" "the part file opened"
load_animation "$work/session.pwa"
wait_probe "key=1" "the animation loaded"
drawn_shot "$main"
[ "$(changed_pixels "$saved_view" "$shot")" -eq 0 ] ||
    fail "the reopened model does not look as it was saved ($(changed_pixels "$saved_view" "$shot") pixels differ)"
get_key
drawn_shot "$main"
[ "$(changed_pixels "$key1_view" "$shot")" -eq 0 ] || fail "key 1 does not look as it did"
save_file part "$work/again"
save_file anim "$work/again"
end_editor
cmp -s "$work/session.pwp" "$work/again.pwp" || fail "the part file saved again differs"
cmp -s "$work/session.pwa" "$work/again.pwa" || fail "the animation file saved again differs"

finish_checks "whole session test"
