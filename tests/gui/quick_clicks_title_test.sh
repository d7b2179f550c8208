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
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
part=$(wait_window '^Part Panel$')
panel="$part"
handling=$(wait_window '^Handling Panel$')
if [ -z "$main" ] || [ -z "$part" ] || [ -z "$handling" ]; then
    fail "the editor's window and its Part and Handling panels did not all show"
    exit 1
fi
wait_started

# The title as the window system holds it is $1 (a whole title). The editor's frame hands a new
# title on; the window system takes it a moment later, so it is waited for (10 seconds).
title_is() { [ "$(xdotool getwindowname "$main")" = "$1" ]; }
wait_until 10 title_is "robot.pwp - Posewrighter Version 1.02" ||
    fail "title at the start: $(xdotool getwindowname "$main")"

drawn_shot "$part"
unselected="$shot"
timeout 10 xdotool windowfocus --sync "$main"
for round in 1 2 3 4 5; do
    xdotool mousemove --sync 320 225 click 1
    wait_probe "!selected=none" "round $round: a quick click on the body"
    drawn_shot "$part"
    [ "$(changed_pixels "$unselected" "$shot")" -gt 0 ] ||
        fail "round $round: the Part panel's tree does not show the selection"
    xdotool mousemove --sync 60 440 click 1
    wait_probe "selected=none" "round $round: a quick click on the floor"
    drawn_shot "$part"
    [ "$(changed_pixels "$unselected" "$shot")" -eq 0 ] ||
        fail "round $round: the Part panel's tree still shows a selection"
done

# ---- An edit marks the title: the body selected, dragged and made its default position.
xdotool mousemove --sync 320 225 click 1
wait_probe "!selected=none" "the body selected for the edit"
if at=$(find_colour "$handling" '#D21E1E'); then
    read -r ax ay <<<"$at"
    drag_from "$ax" "$ay" 160 0 "$handling"
else
    fail "no red X picture in the Handling panel"
fi
menu_command d o
# The unsaved work is noticed within a second.
wait_probe "unsaved=part" "the default position stored"
wait_until 10 title_is "*robot.pwp - Posewrighter Version 1.02" ||
    fail "title after an edit: $(xdotool getwindowname "$main")"
end_editor

finish_checks "quick clicks and title test"
