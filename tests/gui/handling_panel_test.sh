#!/usr/bin/env bash
# The Handling and Lighting panels driven with the mouse as a person would, on a virtual display:
# usage handling_panel_test.sh EDITOR MODEL
# - the sample robot opens; a left click on its body in the 3D view selects the body;
# - the left button goes down on the Handling panel's move-X picture and, without a second
#   click, the cursor goes 160 pixels right in steps (and down, out of every window), then the
#   button comes up: saved through the Part panel's menu and the real file dialog (the live
#   position made the default first), the body stands 1.0 further along its own X axis;
# - Undo (Alt+U in the Part panel) puts it back: saved again, the file is byte for byte the one
#   saved before the drag;
# - in the 3D view, the cursor finds the body's Y axis line (highlighted), and a drag from there
#   moves the body 1.0 along Y, one history step; Save As then asks whether the pose should
#   become the default one first, and Yes stores it (the file holds the lifted body);
# - a press on the Lighting panel's tilt picture and a drag to the left relights the view, and
#   after Escape the settings file holds a light direction other than the default one.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: handling_panel_test.sh EDITOR MODEL"
editor="${1:?$usage}"
model="$(cd "$(dirname "${2:?$usage}")" && pwd)/$(basename "$2")"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
place_windows_for_dragging "$work/Posewrighter.ini"

# The live positions made the default ones, then saved to $1 through the file dialog; the
# notice that follows is closed with Return.
save_part_file() {
    local before_save
    menu_command d o
    before_save=$(editor_windows)
    menu_command f a
    answer_dialog '^Save As$' "$1" "saving $1" notice
    close_notice "$before_save" "saving $1"
    [ -s "$1" ] || fail "nothing saved to $1"
}

# ---- The robot opens with the panels where the settings put them.
(cd "$work" && exec ./posewrighter "$model") &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
part=$(wait_window '^Part Panel$')
panel="$part"
handling=$(wait_window '^Handling Panel$')
lighting=$(wait_window '^Lighting Panel$')
if [ -z "$main" ] || [ -z "$part" ] || [ -z "$handling" ] || [ -z "$lighting" ]; then
    fail "the editor's window and its Part, Handling and Lighting panels did not all show"
    exit 1
fi
wait_started
for window in "$handling:20,540" "$lighting:300,540"; do
    geometry=$(xdotool getwindowgeometry "${window%%:*}")
    grep -q "Position: ${window#*:}" <<<"$geometry" || fail "panel not at ${window#*:}: $geometry"
done
save_part_file "$work/before.pwp"

# ---- A click on the body in the view selects it (the view takes mouse input while its window
# is the active one; the editor keeps a quick press for its next frame).
timeout 10 xdotool windowfocus --sync "$main"
xdotool mousemove --sync 320 225 click 1
wait_probe "!selected=none" "the click on the body in the view"

# ---- Move along X: 160 pixels right (and 100 down, which counts for nothing).
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" 160 100 "$handling"
else
    fail "no red X picture in the Handling panel"
fi
wait_probe "undo=1" "the drag kept in the undo history"
save_part_file "$work/moved.pwp"
read -r bx by bz _ < <(entry "$work/before.pwp" g_posDef body.x)
read -r mx my mz _ < <(entry "$work/moved.pwp" g_posDef body.x)
[ "$(entry "$work/before.pwp" g_quaDef body.x)" = "0 0 0 1" ] ||
    fail "the body is not upright in the robot: its X axis is not the world's"
if ! awk -v a="$mx" -v b="$bx" 'BEGIN { exit !(a - b > 0.99999 && a - b < 1.00001) }' ||
    [ "$my $mz" != "$by $bz" ]; then
    fail "body at ($mx, $my, $mz) after the drag, expected 1.0 along X from ($bx, $by, $bz)"
fi
[ "$(diff "$work/before.pwp" "$work/moved.pwp" | grep -c '^>')" = 1 ] ||
    fail "more than the body's position changed: $(diff "$work/before.pwp" "$work/moved.pwp" | head -6)"

# ---- Undo puts the body back where it was: first the default position the save stored, then
# the drag, each one step.
panel_keys alt+u
wait_probe "undo=1 redo=1" "Undo (Alt+U in the Part panel) of the stored default position"
panel_keys alt+u
wait_probe "undo=0 redo=2" "Undo (Alt+U in the Part panel) of the drag"
save_part_file "$work/undone.pwp"
cmp -s "$work/before.pwp" "$work/undone.pwp" ||
    fail "after Undo the file differs: $(diff "$work/before.pwp" "$work/undone.pwp" | head -4)"

# ---- Escape during a drag cancels it: the body goes back to where the press found it, and
# the editor goes on. Escape pressed in a tool panel does not end it either.
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    timeout 10 xdotool windowfocus --sync "$handling"
    drawn_shot "$main"
    undone_view="$shot"
    xdotool mousemove --sync "$ax" "$ay" mousedown 1
    wait_probe "handle=drag-*" "the press on the move-X picture"
    for _ in $(seq 10); do
        xdotool mousemove_relative --sync -- 16 0
    done
    frames_after_input "the drag's last move"
    window_shot "$main"
    [ "$(changed_pixels "$undone_view" "$shot")" -gt 0 ] || fail "the view did not change during the drag"
    xdotool key Escape
    wait_probe "!handle=drag-* undo=0" "Escape during the drag"
    drawn_shot "$main"
    [ "$(changed_pixels "$undone_view" "$shot")" -eq 0 ] || fail "Escape did not put the body back"
    xdotool mouseup 1
    xdotool mousemove_relative --sync -- -80 0
    frames_after_input "the cursor moving after the cancelled drag"
    window_shot "$main"
    [ "$(changed_pixels "$undone_view" "$shot")" -eq 0 ] || fail "the drag went on after Escape"
else
    fail "no red X picture in the Handling panel"
fi
timeout 10 xdotool windowfocus --sync "$part"
xdotool key Escape
# Frames after the key are drawn with the editor still there.
frames_after_input "Escape in the Part panel"
kill -0 "$pid" 2>/dev/null || fail "Escape in the Part panel ended the editor"

# ---- The manipulator in the view: scanning up the view's middle, the cursor finds the body's
# Y axis line (the probe names the handle under the cursor, and the view draws it highlighted);
# a press there and 160 pixels to the right move the body one unit along Y, one history step.
timeout 10 xdotool windowfocus --sync "$main"
drawn_shot "$main" "before the cursor meets the manipulator"
plain_view="$shot"
on_line=
for y in $(seq 300 -4 120); do
    xdotool mousemove --sync 320 "$y"
    frames_after_input "the cursor at 320,$y"
    if probe_last | grep -q ' hover=move-y '; then
        on_line=$y
        break
    fi
done
[ -n "$on_line" ] || fail "no Y axis line of the body's manipulator under the cursor at x = 320"
window_shot "$main"
[ "$(changed_pixels "$plain_view" "$shot")" -gt 0 ] || fail "the handle under the cursor is not highlighted"
xdotool mousedown 1
wait_probe "handle=drag-move-y" "the press on the Y line in the view"
for _ in $(seq 10); do
    xdotool mousemove_relative --sync -- 16 0
done
frames_after_input "the drag's last move in the view"
xdotool mouseup 1
wait_probe "handle=idle undo=1 redo=0" "the drag in the view ending as one step"
# Saved without storing the pose first: with no key in use the editor asks before the file
# dialog, and Yes (Return) stores the lifted pose as the default one, one more step.
before_save=$(editor_windows)
menu_command f a
wait_probe "modal=1" "the question before Save As"
question=$(wait_new_window "$before_save") || { fail "no question before Save As"; exit 1; }
timeout 10 xdotool windowfocus --sync "$question"
xdotool key Return
answer_dialog '^Save As$' "$work/lifted.pwp" "saving $work/lifted.pwp" notice
close_notice "$before_save" "saving $work/lifted.pwp"
wait_probe "undo=2" "the pose stored by the answer Yes"
read -r lx ly lz _ < <(entry "$work/lifted.pwp" g_posDef body.x)
if ! awk -v a="$ly" -v b="$by" 'BEGIN { exit !(a - b > 0.99999 && a - b < 1.00001) }' ||
    [ "$lx $lz" != "$bx $bz" ]; then
    fail "body at ($lx, $ly, $lz) after the drag in the view, expected 1.0 along Y from ($bx, $by, $bz)"
fi

# ---- The light tilted by a drag from the tilt picture relights the view.
if at=$(find_colour "$lighting" '#EBAF00'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" -100 0 "$lighting" light
else
    fail "no sun picture in the Lighting panel"
fi

# ---- Escape ends the editor; the light's new direction is stored.
end_editor
light=$(sed -n '/^\[LIGHT_DIALOG\]/,/^\[/p' "$work/Posewrighter.ini" | tr -d '\r' | grep -E '^LIGHT_[XYZ]=' | sort | tr '\n' ' ')
[ "$(wc -w <<<"$light")" = 3 ] || fail "light direction not stored: $light"
[ "$light" != "LIGHT_X=0.666667 LIGHT_Y=-0.333333 LIGHT_Z=-0.666667 " ] ||
    fail "the light was stored in its first direction: $light"

finish_checks "handling panel test"
