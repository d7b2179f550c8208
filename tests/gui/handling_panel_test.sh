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
    menu_command f s
    answer_dialog '^Save As$' "$1" "saving $1" && close_notice "$before_save" "saving $1"
    [ -s "$1" ] || fail "nothing saved to $1"
}
# The three numbers of the VEC3 or QUAT line of array $2 for part $3 in file $1.
entry() {
    sed -n "/$2/,/};/p" "$1" | grep -m 1 "// $3"$'\r' | awk -F'[(,]' '{ print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}

# ---- The robot opens with the panels where the settings put them.
(cd "$work" && exec ./posewrighter "$model") &
pid=$!
main=$(timeout 90 xdotool search --sync --onlyvisible --name 'Posewrighter Version 1\.02$' | head -n 1)
part=$(wait_window '^Part Panel$')
panel="$part"
handling=$(wait_window '^Handling Panel$')
lighting=$(wait_window '^Lighting Panel$')
if [ -z "$main" ] || [ -z "$part" ] || [ -z "$handling" ] || [ -z "$lighting" ]; then
    fail "the editor's window and its Part, Handling and Lighting panels did not all show"
    exit 1
fi
for window in "$handling:20,540" "$lighting:300,540"; do
    geometry=$(xdotool getwindowgeometry "${window%%:*}")
    grep -q "Position: ${window#*:}" <<<"$geometry" || fail "panel not at ${window#*:}: $geometry"
done
wait_window_shot "$part" settled || fail "the Part panel did not settle"
unselected="$shot"
save_part_file "$work/before.pwp"

# ---- A click on the body in the view selects it (the view takes mouse input while its window
# is the active one; the press is held for a few frames, as input is sampled once a frame).
# On a loaded machine a frame can outlast a short press, so a person clicks again: up to three
# clicks, each followed by a wait for the tree to show the selection.
selected=
for _ in 1 2 3; do
    timeout 10 xdotool windowfocus --sync "$main"
    xdotool mousemove 320 225
    sleep 0.2
    xdotool mousedown 1
    sleep 0.5
    xdotool mouseup 1
    wait_window_shot "$part" differs "$unselected" && { selected=1; break; }
done
[ -n "$selected" ] || fail "the click in the view selected nothing"

# ---- Move along X: 160 pixels right (and 100 down, which counts for nothing).
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" 160 100 "$handling"
else
    fail "no red X picture in the Handling panel"
fi
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

# ---- Undo puts the body back where it was. A key that comes while the panel is still taking
# the focus back from the notice is lost: Undo is pressed again until the view shows it (the
# history holds this one drag, so a second press changes nothing more).
wait_window_shot "$main" settled
moved_view="$shot"
for _ in 1 2 3; do
    panel_keys alt+u
    wait_window_shot "$main" differs "$moved_view" && break
done
save_part_file "$work/undone.pwp"
cmp -s "$work/before.pwp" "$work/undone.pwp" ||
    fail "after Undo the file differs: $(diff "$work/before.pwp" "$work/undone.pwp" | head -4)"

# ---- Escape during a drag cancels it: the body goes back to where the press found it, and
# the editor goes on. Escape pressed in a tool panel does not end it either.
wait_window_shot "$main" settled
undone_view="$shot"
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    timeout 10 xdotool windowfocus --sync "$handling"
    xdotool mousemove "$ax" "$ay" mousedown 1
    sleep 0.5
    for _ in $(seq 10); do
        xdotool mousemove_relative -- 16 0
        sleep 0.05
    done
    wait_window_shot "$main" differs "$undone_view" || fail "the view did not change during the drag"
    xdotool key Escape
    wait_window_shot "$main" settled
    for _ in $(seq 20); do
        [ "$(changed_pixels "$undone_view" "$shot")" -eq 0 ] && break
        wait_window_shot "$main" settled
    done
    [ "$(changed_pixels "$undone_view" "$shot")" -eq 0 ] || fail "Escape did not put the body back"
    xdotool mouseup 1
    xdotool mousemove_relative -- -80 0
    wait_window_shot "$main" settled
    [ "$(changed_pixels "$undone_view" "$shot")" -eq 0 ] || fail "the drag went on after Escape"
else
    fail "no red X picture in the Handling panel"
fi
timeout 10 xdotool windowfocus --sync "$part"
xdotool key Escape
# The frame after the key is drawn (the view settles) with the editor still there.
wait_window_shot "$main" settled
kill -0 "$pid" 2>/dev/null || fail "Escape in the Part panel ended the editor"

# ---- The light tilted by a drag from the tilt picture relights the view.
if at=$(find_colour "$lighting" '#EBAF00'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" -100 0 "$lighting"
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
