#!/usr/bin/env bash
# The editor's window resized under a window manager (openbox) on a virtual display:
# usage editor_resized_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]
# - the first start's client area is 640 x 480; resized to 1280 x 960, the view fills it, drawn
#   at its pixels: the grid keeps one-pixel lines (twice the width and height give about twice
#   the grid's pixels, where a 640 x 480 picture enlarged would have four times as many);
# - a left click on the robot's body, where it is drawn in the larger view, selects it: the
#   overlay text appears;
# - the size is stored in the settings file at exit (WIDTH and HEIGHT beside LEFT and TOP) and
#   the next start opens at it, the view drawn at that size.
# SHOT_FOLDER, when set, receives copies of the screenshots.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_resized_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"
: "${2:?usage: editor_resized_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"

run_inside_xvfb 1600x1200 "xdotool xprop xwininfo import convert compare openbox" "$0" "$@"

background=18415A
grid=808080

make_work_folder "$editor"
settings="$work/Posewrighter.ini"
place_panels_aside "$settings" 1320

wm=
stop_wm() { [ -n "$wm" ] && kill "$wm" 2>/dev/null; }
trap 'stop_wm; end_editor_and_work' EXIT
launch_openbox

# A picture of the main window's client area (the view), after one more frame has been drawn.
view_shot() {
    wait_frames 1 "a frame of the view"
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    local info x y w h
    info=$(xwininfo -id "$main")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info")
    h=$(sed -n 's/.*Height: *//p' <<<"$info")
    import -window root -crop "${w}x$h+$x+$y" +repage "$shot"
}
keep_shot() { [ -n "${SHOT_FOLDER:-}" ] && cp "$shot" "$SHOT_FOLDER/$1.png"; true; }

# The client area is $1 ("WIDTHxHEIGHT"); sets WIDTH and HEIGHT.
size_is() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    [ "${WIDTH}x$HEIGHT" = "$1" ]
}
# Something other than the background is drawn at ($2, $3) of picture $1.
drawn_at() { [ "$(convert "$1" -format "%[hex:u.p{$2,$3}]" info:)" != "$background" ]; }
grid_pixels() { convert "$1" -fill black +opaque "#$grid" -fill white -opaque "#$grid" \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info:; }
has_text() {
    [ "$(convert "$1" -crop 200x30+0+0 +repage -fill white +opaque "#$background" \
        -fill black -opaque "#$background" -colorspace gray -format '%[fx:round(mean*w*h)]' info:)" -gt 0 ]
}
stored() { tr -d '\r' <"$settings" | sed -n '/^\[MAIN_WINDOW\]$/,/^\[/p' | sed -n "s/^$1= *//p"; }

start_editor() {
    probe_reset
    "$work/posewrighter" "$@" &
    pid=$!
    main=$(wait_window 'Posewrighter Version 1\.02$' 90)
    [ -n "$main" ] && wait_started
}

# ---- First start: 640 x 480.
start_editor "${@:2}" || { fail "no editor window"; exit 1; }
wait_until 10 size_is 640x480 || fail "first start's client area is ${WIDTH}x$HEIGHT, expected 640x480"
view_shot
drawn_at "$shot" 320 215 || fail "the robot is not drawn in the 640 x 480 view"
keep_shot view-640x480
small="$shot"

# ---- Resized to 1280 x 960: the frames after the window took the size draw at it.
xdotool windowsize "$main" 1280 960
wait_until 10 size_is 1280x960 || fail "the window did not take 1280 x 960: ${WIDTH}x$HEIGHT"
frames_after_input "the resize"
view_shot
drawn_at "$shot" 640 430 || fail "the robot is not drawn in the 1280 x 960 view"
keep_shot view-1280x960
large="$shot"
[ "$(convert "$large" -format '%wx%h' info:)" = 1280x960 ] || fail "picture not 1280 x 960"
# The view fills the window: its bottom-right corner is drawn (background or grid), not left
# black or stretched from a smaller picture.
corner=$(convert "$large" -format '%[hex:u.p{1279,959}]' info:)
[ "$corner" = "$background" ] || [ "$corner" = "$grid" ] || fail "the corner pixel is #$corner"
small_grid=$(grid_pixels "$small")
large_grid=$(grid_pixels "$large")
awk -v s="$small_grid" -v l="$large_grid" 'BEGIN { exit !(s > 1000 && l / s > 1.7 && l / s < 2.4) }' ||
    fail "grid pixels $small_grid at 640 x 480 and $large_grid at 1280 x 960: not one-pixel lines"

has_text "$large" && fail "text shown before any selection"
# The window is made the active one (the view takes the mouse only then) before the click.
xdotool windowactivate --sync "$main"
frames_after_input "the window made active"
xdotool mousemove --sync --window "$main" 640 430 click 1
wait_probe "!selected=none" "a click on the robot's body in the 1280 x 960 view"
view_shot
keep_shot view-1280x960-selected
has_text "$shot" || fail "the selection's text is not drawn in the 1280 x 960 view"

end_editor
[ "$(stored WIDTH),$(stored HEIGHT)" = "1280,960" ] ||
    fail "stored size $(stored WIDTH),$(stored HEIGHT), expected 1280,960"
{ [ -n "$(stored LEFT)" ] && [ -n "$(stored TOP)" ]; } || fail "the position is no longer stored"

# ---- The next start opens at the stored size.
start_editor "${@:2}" || { fail "no editor window at the second start"; exit 1; }
wait_until 10 size_is 1280x960 ||
    fail "second start's client area is ${WIDTH}x$HEIGHT, expected 1280x960"
frames_after_input "the second start at its stored size"
view_shot
drawn_at "$shot" 640 430 || fail "the robot is not drawn in the second start's view"
keep_shot view-second-start
[ "$(grid_pixels "$shot")" = "$large_grid" ] ||
    fail "the second start's view differs from the resized one's ($(grid_pixels "$shot") grid pixels)"
end_editor

finish_checks "editor resized view test"
