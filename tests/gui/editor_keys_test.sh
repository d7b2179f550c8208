#!/usr/bin/env bash
# The editor's keys in the 3D view, on a copy of the sample robot: usage editor_keys_test.sh
# EDITOR ROBOT_FOLDER. A Handling drag of the body, Ctrl+Z (the view as before; Ctrl+S writes
# the file's own bytes back, no dialog), Ctrl+Y (Ctrl+S writes the body 1.0 along X), Page Down
# in the Part panel, F (the view changes), Space twice (play, stop).
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: editor_keys_test.sh EDITOR ROBOT_FOLDER"
editor="${1:?$usage}"
robot="$(cd "${2:?$usage}" && pwd)"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
place_windows_for_dragging "$work/Posewrighter.ini"
# Ctrl+S writes to the file opened: a copy, never the sample.
cp -r "$robot" "$work/robot"
model="$work/robot/robot.pwp"
cp "$model" "$work/opened.pwp"

# Ctrl+S in the view ($1 says after what): the file is written again (it is removed first) and
# the window that shows is the "written" notice, not a file dialog; it is closed with Return.
save_with_keys() {
    local before shown
    rm -f "$model"
    before=$(editor_windows)
    keys_to_window "$main" ctrl+s
    if ! shown=$(wait_new_window "$before"); then
        fail "no window after Ctrl+S $1"
        exit 1
    fi
    [ "$(xdotool getwindowname "$shown")" != "Save As" ] || fail "Ctrl+S $1 opened a file dialog"
    close_notice "$before" "Ctrl+S $1"
    [ -s "$model" ] || fail "Ctrl+S $1 wrote nothing to $model"
}

# ---- The robot opens; a click on its body in the view selects it.
(cd "$work" && exec ./posewrighter "$model") &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
part=$(wait_window '^Part Panel$')
panel="$part"
handling=$(wait_window '^Handling Panel$')
if [ -z "$main" ] || [ -z "$part" ] || [ -z "$handling" ]; then
    fail "the editor's window and its Part and Handling panels did not all show"
    exit 1
fi
wait_started
timeout 10 xdotool windowfocus --sync "$main"
xdotool mousemove --sync 320 225 click 1
wait_probe "!selected=none" "the click on the body in the view"
# The cursor leaves the view (a handle under it would be highlighted), to where the drag below
# ends too: the pictures compared then differ only in the pose.
xdotool mousemove --sync 10 760
frames_after_input "the cursor leaving the view"
drawn_shot "$main" "the view before the drag"
before_drag="$shot"

# ---- A drag along X, then Ctrl+Z and Ctrl+Y in the view.
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" 160 100 "$handling"
else
    fail "no red X picture in the Handling panel"
fi
wait_probe "undo=1 redo=0" "the drag kept in the history"
keys_to_window "$main" ctrl+z
wait_probe "undo=0 redo=1" "Ctrl+Z in the view"
drawn_shot "$main" "the view after Ctrl+Z"
[ "$(changed_pixels "$before_drag" "$shot")" -eq 0 ] || fail "Ctrl+Z did not put the body back"
# The live position made the default one changes nothing now: the file keeps its bytes.
menu_command d o
save_with_keys "after Ctrl+Z"
cmp -s "$work/opened.pwp" "$model" ||
    fail "after Ctrl+Z the file differs: $(diff "$work/opened.pwp" "$model" | head -4)"

keys_to_window "$main" ctrl+y
wait_probe "undo=1 redo=0" "Ctrl+Y in the view"
drawn_shot "$main" "the view after Ctrl+Y"
[ "$(changed_pixels "$before_drag" "$shot")" -gt 0 ] || fail "Ctrl+Y did not move the body again"
menu_command d o
wait_probe "undo=2" "the moved position made the default one"
save_with_keys "after Ctrl+Y"
read -r bx by bz _ < <(entry "$work/opened.pwp" g_posDef body.x)
read -r mx my mz _ < <(entry "$model" g_posDef body.x)
if ! awk -v a="$mx" -v b="$bx" 'BEGIN { exit !(a - b > 0.99999 && a - b < 1.00001) }' ||
    [ "$my $mz" != "$by $bz" ]; then
    fail "body at ($mx, $my, $mz) after Ctrl+Y, expected 1.0 along X from ($bx, $by, $bz)"
fi
[ "$(diff "$work/opened.pwp" "$model" | grep -c '^>')" = 1 ] ||
    fail "more than the body's position changed: $(diff "$work/opened.pwp" "$model" | head -6)"

# ---- Page Down in a tool panel, F and Space in the view.
keys_to_window "$part" Next
wait_probe "key=2" "Page Down in the Part panel"
drawn_shot "$main" "the view before F"
before_frame="$shot"
keys_to_window "$main" f
frames_after_input "F in the view"
window_shot "$main"
[ "$(changed_pixels "$before_frame" "$shot")" -gt 0 ] || fail "F did not change the view"
keys_to_window "$main" space
wait_probe "playing=1" "Space in the view"
keys_to_window "$main" space
wait_probe "playing=0" "Space again"

end_editor
finish_checks "editor keys test"
