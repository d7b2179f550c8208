#!/usr/bin/env bash
# The first start under a window manager (openbox) on a virtual display of the given size: usage
# first_start_layout_test.sh EDITOR WIDTHxHEIGHT
# Without a settings file the six windows' frames (title bars included) all lie on the screen
# and none overlaps another: the main window in the top-left corner, the Part panel beside it,
# the Animation panel below it. Escape ends the editor, and the settings file then holds each
# window's frame corner as it was shown.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: first_start_layout_test.sh EDITOR WIDTHxHEIGHT}"
size="${2:?usage: first_start_layout_test.sh EDITOR WIDTHxHEIGHT}"

run_inside_xvfb "$size" "xdotool xprop xwininfo openbox import" "$0" "$@"

make_work_folder "$editor"
start_openbox
settings="$work/Posewrighter.ini"
screen_width=${size%x*} screen_height=${size#*x}

"$work/posewrighter" &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
[ -n "$main" ] || { fail "no editor window"; exit 1; }
wait_started

titles=("Posewrighter Version 1.02" "Part Panel" "Animation Panel" "Handling Panel"
    "Lighting Panel" "Material Panel")
sections=(MAIN_WINDOW MAIN_DIALOG ANIM_DIALOG HANDING_DIALOG LIGHT_DIALOG MATERIAL_DIALOG)

# Every window's frame as "left top right bottom" in $frames; the problems found in $problems.
check_layout() {
    local i j title id frame
    frames=() problems=""
    for i in "${!titles[@]}"; do
        title=${titles[$i]}
        id=$(xdotool search --onlyvisible --name "${title}\$" 2>/dev/null | head -n 1)
        frame=$([ -n "$id" ] && frame_rect "$id") || { problems+=" no framed window '$title';"; continue; }
        frames[i]=$frame
        read -r l t r b <<<"$frame"
        if [ "$l" -lt 0 ] || [ "$t" -lt 0 ] || [ "$r" -gt "$screen_width" ] || [ "$b" -gt "$screen_height" ]; then
            problems+=" '$title' at $frame is off the screen;"
        fi
        for ((j = 0; j < i; j++)); do
            [ -n "${frames[j]:-}" ] || continue
            read -r l2 t2 r2 b2 <<<"${frames[j]}"
            if [ "$l" -lt "$r2" ] && [ "$l2" -lt "$r" ] && [ "$t" -lt "$b2" ] && [ "$t2" -lt "$b" ]; then
                problems+=" '$title' at $frame overlaps '${titles[j]}' at ${frames[j]};"
            fi
        done
    done
    [ -z "$problems" ] || return 1
    # Main window in the corner, Part panel beside it, Animation panel below it.
    read -r _ _ main_right main_bottom <<<"${frames[0]}"
    read -r part_left part_top _ _ <<<"${frames[1]}"
    read -r anim_left anim_top _ _ <<<"${frames[2]}"
    [[ "${frames[0]}" == "0 0 "* ]] || problems+=" main window at ${frames[0]}, not in the corner;"
    [ "$part_left" -ge "$main_right" ] && [ "$part_top" = 0 ] ||
        problems+=" Part panel at ${frames[1]}, not beside the main window;"
    [ "$anim_top" -ge "$main_bottom" ] && [ "$anim_left" = 0 ] ||
        problems+=" Animation panel at ${frames[2]}, not below the main window;"
    [ -z "$problems" ]
}

# The windows are placed once all are on the screen: wait for the layout.
wait_until 10 check_layout || fail "first start at $size:$problems"
import -window root "$work/first_start_$size.png"
echo "screenshot: $work/first_start_$size.png"

end_editor
for i in "${!sections[@]}"; do
    read -r l t _ _ <<<"${frames[i]:-x x x x}"
    [ "$(stored "${sections[i]}")" = "$l,$t" ] ||
        fail "${sections[i]} stored at $(stored "${sections[i]}"), shown at $l,$t"
done
finish_checks "first start layout test at $size"
