#!/usr/bin/env bash
# Quick clicks and the title, on a virtual display: usage quick_clicks_title_test.sh EDITOR MODEL
# - the sample robot opens; the title names its part file without the unsaved mark;
# - quick clicks (press and release at once, as a touchpad tap), five times over: one on the
#   body selects it (the Part panel's tree shows it), one on the empty floor deselects it;
# - a drag of the body made its default position: the title gains the unsaved mark.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: quick_clicks_title_test.sh EDITOR MODEL"
editor="${1:?$usage}"
model="$(cd "$(dirname "${2:?$usage}")" && pwd)/$(basename "$2")"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
place_windows_for_dragging "$work/Posewrighter.ini"

(cd "$work" && exec ./posewrighter "$model") &
pid=$!
main=$(timeout 90 xdotool search --sync --onlyvisible --name 'Posewrighter Version 1\.02$' | head -n 1)
part=$(wait_window '^Part Panel$')
panel="$part"
handling=$(wait_window '^Handling Panel$')
if [ -z "$main" ] || [ -z "$part" ] || [ -z "$handling" ]; then
    fail "the editor's window and its Part and Handling panels did not all show"
    exit 1
fi

# The title as it stands now, waiting up to 10 seconds for $1 (a whole title).
wait_title() {
    for _ in $(seq 100); do
        [ "$(xdotool getwindowname "$main")" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
wait_title "robot.pwp - Posewrighter Version 1.02" ||
    fail "title at the start: $(xdotool getwindowname "$main")"

wait_window_shot "$part" settled || fail "the Part panel did not settle"
unselected="$shot"
timeout 10 xdotool windowfocus --sync "$main"
for round in 1 2 3 4 5; do
    xdotool mousemove 320 225 click 1
    wait_window_shot "$part" differs "$unselected" || fail "round $round: a quick click on the body selected nothing"
    xdotool mousemove 60 440 click 1
    wait_window_shot "$part" settled
    for _ in $(seq 20); do
        [ "$(changed_pixels "$unselected" "$shot")" -eq 0 ] && break
        wait_window_shot "$part" settled
    done
    [ "$(changed_pixels "$unselected" "$shot")" -eq 0 ] ||
        fail "round $round: a quick click on the floor did not deselect"
done

# ---- An edit marks the title: the body selected, dragged and made its default position.
xdotool mousemove 320 225 click 1
wait_window_shot "$part" differs "$unselected" || fail "the body was not selected for the edit"
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" 160 0 "$handling"
else
    fail "no red X picture in the Handling panel"
fi
menu_command d o
wait_title "*robot.pwp - Posewrighter Version 1.02" ||
    fail "title after an edit: $(xdotool getwindowname "$main")"
end_editor

finish_checks "quick clicks and title test"
