#!/usr/bin/env bash
# The editor at device pixel ratios 2 and 1.25 (QT_SCALE_FACTOR) on a virtual display:
# usage editor_scaled_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]
# - the window is 640 x 480 times the ratio in screen pixels, and the view fills all of it drawn
#   at those pixels: the window's picture, scaled back to 640 x 480, is the picture at ratio 1 up
#   to the thinner lines, and the grid keeps one-pixel lines (its pixels grow with the ratio, not
#   with its square as an enlarged 640 x 480 picture's would);
# - a left click on the robot's body, where it is drawn, selects it: the overlay text appears.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_scaled_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"
: "${2:?usage: editor_scaled_view_test.sh EDITOR MODEL.pwp [ANIM.pwa]}"

run_inside_xvfb 1600x1200 "xdotool import convert compare" "$0" "$@"

background=18415A
# In the view's own 640 x 480 pixels: the robot's body and the overlay text's strip.
body_x=320 body_y=215
text_w=200 text_h=30


make_work_folder "$editor"
place_panels_aside "$work/Posewrighter.ini" 650

scaled() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s + 0.5 }'; }

# A picture of the window's client area ($X, $Y, $WIDTH, $HEIGHT) after one more frame.
shot_index=0
shoot() {
    wait_frames 1 "scale $scale: a frame of the view"
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
}
robot_drawn() {
    [ "$(convert "$1" -format "%[hex:u.p{$(scaled $body_x),$(scaled $body_y)}]" info:)" != "$background" ]
}
grid_pixels() { convert "$1" -fill black +opaque "#808080" -fill white -opaque "#808080" \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info:; }
has_text() {
    [ "$(convert "$1" -crop "$(scaled $text_w)x$(scaled $text_h)+0+0" +repage \
        -fill white +opaque "#$background" -fill black -opaque "#$background" \
        -colorspace gray -format '%[fx:round(mean*w*h)]' info:)" -gt 0 ]
}

# Starts the editor at the scale; sets $window and its geometry ($X $Y $WIDTH $HEIGHT) and
# leaves a picture of the drawn view in $shot.
start_editor() {
    probe_reset
    QT_SCALE_FACTOR="$scale" "$work/posewrighter" "${@:2}" &
    pid=$!
    window=$(wait_window 'Posewrighter Version 1\.02$' 90)
    [ -n "$window" ] || { fail "scale $scale: no editor window"; return 1; }
    wait_started
    eval "$(xdotool getwindowgeometry --shell "$window")"
    shoot
    robot_drawn "$shot" || fail "scale $scale: the robot is not drawn"
}

stop_editor() {
    press_escape "$window"
    wait_for_exit "$pid" 50 || { fail "scale $scale: the editor did not end on Escape"; kill "$pid"; }
    wait "$pid"
    pid=
}

# ---- The reference picture at ratio 1.
scale=1
start_editor "$@" || exit 1
reference="$shot"
reference_grid=$(grid_pixels "$reference")
stop_editor

for scale in 2 1.25; do
    start_editor "$@" || continue
    expected="$(scaled 640)x$(scaled 480)"
    [ "${WIDTH}x$HEIGHT" = "$expected" ] || fail "scale $scale: window ${WIDTH}x$HEIGHT, expected $expected"

    # The whole window holds the view: scaled back, it is the ratio-1 picture up to filtering
    # and the grid lines, which are one device pixel wide and so fainter once scaled back.
    convert "$shot" -resize '640x480!' "$work/back$scale.png"
    error=$(compare -metric RMSE "$reference" "$work/back$scale.png" null: 2>&1 |
        sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
    awk -v e="$error" 'BEGIN { exit !(e < 0.08) }' ||
        fail "scale $scale: the window's picture differs from the view (RMSE $error)"
    # Drawn at the device pixels: one-pixel grid lines as long as the ratio makes them.
    awk -v r="$reference_grid" -v g="$(grid_pixels "$shot")" -v s="$scale" \
        'BEGIN { exit !(r > 1000 && g / r > 0.85 * s && g / r < 1.2 * s) }' ||
        fail "scale $scale: $(grid_pixels "$shot") grid pixels against $reference_grid at ratio 1"

    timeout 10 xdotool windowfocus --sync "$window"
    xdotool mousemove --sync --window "$window" "$(scaled $body_x)" "$(scaled $body_y)" click 1
    wait_probe "!selected=none" "scale $scale: a click on the robot's body"
    shoot
    has_text "$shot" || fail "scale $scale: the selection's text is not drawn"
    stop_editor
done

[ "$failures" -eq 0 ] || exit 1
echo "editor scaled view test passed"
