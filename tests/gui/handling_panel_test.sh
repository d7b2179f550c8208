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

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

work=$(mktemp -d)
keep_state_in "$work"
pid=
trap end_editor_and_work EXIT
cp "$editor" "$work/posewrighter"
# The main window at the top-left corner, the Part panel beside it, the Handling and Lighting
# panels below it.
printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n' \
    >"$work/Posewrighter.ini"
printf '[HANDING_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n[LIGHT_DIALOG]\r\nLEFT= 300\r\nTOP= 540\r\n' \
    >>"$work/Posewrighter.ini"

# Keys typed into the Part panel.
panel_keys() {
    xdotool windowfocus --sync "$part"
    xdotool key "$@"
}
# A command of the Part panel's menu bar: the menu by its mnemonic ($1), then the item ($2).
menu_command() {
    local before
    before=$(visible_windows)
    panel_keys "alt+$1"
    for _ in $(seq 50); do
        [ "$(visible_windows)" -gt "$before" ] && break
        sleep 0.1
    done
    [ "$(visible_windows)" -gt "$before" ] || fail "menu Alt+$1 did not open"
    xdotool key "$2"
}
# The live positions made the default ones, then saved to $1 through the file dialog; the
# notice that follows is closed with Return.
save_part_file() {
    local before_save notice=
    menu_command d o
    before_save=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)
    menu_command f s
    local dialog
    if ! dialog=$(wait_window '^Save As$'); then
        fail "no save dialog for $1"
        return 1
    fi
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 5 "$1"
    xdotool key Return
    wait_gone '^Save As$' || fail "the save dialog stayed for $1"
    for _ in $(seq 100); do
        notice=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -v -x -F "$before_save" | head -n 1)
        [ -n "$notice" ] && break
        sleep 0.1
    done
    [ -n "$notice" ] || { fail "no notice after saving $1"; return 1; }
    xdotool windowfocus --sync "$notice"
    xdotool key Return
    for _ in $(seq 100); do
        xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -q -x "$notice" || break
        sleep 0.1
    done
    [ -s "$1" ] || fail "nothing saved to $1"
}

# Pictures of a window and polls on them.
shot_index=0
window_shot() {
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
}
changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }'; }
# Polls until window $1 has settled (two pictures alike) and, unless $2 is "settled", differs
# from picture $3; leaves the last picture in $shot.
wait_window_shot() {
    local previous
    window_shot "$1"
    for _ in $(seq 40); do
        previous="$shot"
        sleep 0.25
        window_shot "$1"
        [ "$(changed_pixels "$previous" "$shot")" -eq 0 ] || continue
        [ "$2" = settled ] && return 0
        [ "$(changed_pixels "$3" "$shot")" -gt 0 ] && return 0
    done
    return 1
}
# The screen point of the first pixel of colour $2 (reading order) in window $1's picture.
find_colour() {
    window_shot "$1"
    local at
    at=$(convert "$shot" txt:- | grep -i -m 1 "$2" | cut -d: -f1)
    [ -n "$at" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + ${at%,*})) $((Y + ${at#*,}))"
}
# The left button goes down at screen point ($1, $2), the cursor moves by ($3, $4) in ten steps
# and the button comes up; then the cursor moves on. The 3D view must change while the button is held. Without a window
# manager nothing takes the focus on a click: the panel $5 is given it, as a click would.
drag_from() {
    local before
    window_shot "$main"
    before="$shot"
    xdotool windowfocus --sync "$5"
    xdotool mousemove "$1" "$2"
    xdotool mousedown 1
    # Frames see the press before the cursor moves (also in a slow sanitizer build): the drag
    # starts where the press was.
    sleep 0.5
    for _ in $(seq 10); do
        xdotool mousemove_relative -- $(($3 / 10)) $(($4 / 10))
        sleep 0.05
    done
    wait_window_shot "$main" differs "$before" || fail "the view did not change during the drag"
    xdotool mouseup 1
    wait_window_shot "$main" settled || fail "the view did not settle after the drag"
    # Released there, outside every window: the drag has ended and the cursor moves nothing.
    local released="$shot"
    xdotool mousemove_relative -- $((-$3 / 2)) 0
    if ! wait_window_shot "$main" settled || [ "$(changed_pixels "$released" "$shot")" -ne 0 ]; then
        fail "the drag went on after the button came up"
    fi
}
# The three numbers of the VEC3 or QUAT line of array $2 for part $3 in file $1.
entry() {
    sed -n "/$2/,/};/p" "$1" | grep -m 1 "// $3"$'\r' | awk -F'[(,]' '{ print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}

# ---- The robot opens with the panels where the settings put them.
(cd "$work" && exec ./posewrighter "$model") &
pid=$!
main=$(timeout 90 xdotool search --sync --onlyvisible --name '^Posewrighter Version 1\.02$' | head -n 1)
part=$(wait_window '^Part Panel$')
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
    xdotool windowfocus --sync "$main"
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

# ---- Undo puts the body back where it was.
panel_keys alt+u
save_part_file "$work/undone.pwp"
cmp -s "$work/before.pwp" "$work/undone.pwp" ||
    fail "after Undo the file differs: $(diff "$work/before.pwp" "$work/undone.pwp" | head -4)"

# ---- The light tilted by a drag from the tilt picture relights the view.
if at=$(find_colour "$lighting" '#EBAF00'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" -100 0 "$lighting"
else
    fail "no sun picture in the Lighting panel"
fi

# ---- Escape ends the editor; the light's new direction is stored.
hold_escape "$main"
if ! wait_for_exit "$pid" 50; then
    fail "the editor did not end within 5 seconds of Escape"
    kill "$pid"
fi
wait "$pid"
exit_code=$?
pid=
[ "$exit_code" = 0 ] || fail "exit code $exit_code, expected 0"
light=$(sed -n '/^\[LIGHT_DIALOG\]/,/^\[/p' "$work/Posewrighter.ini" | tr -d '\r' | grep -E '^LIGHT_[XYZ]=' | sort | tr '\n' ' ')
[ "$(wc -w <<<"$light")" = 3 ] || fail "light direction not stored: $light"
[ "$light" != "LIGHT_X=0.666667 LIGHT_Y=-0.333333 LIGHT_Z=-0.666667 " ] ||
    fail "the light was stored in its first direction: $light"

finish_checks "handling panel test"
