#!/usr/bin/env bash
# The tool panels under a window manager (openbox) on a virtual display: usage
# panel_decorations_test.sh EDITOR
# Each panel is a utility window transient for the main window that asks (Motif hints) for a
# caption with no close, minimise or maximise; openbox offers no maximise. After a click on the
# main window every panel still stands above it.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: panel_decorations_test.sh EDITOR}"

run_inside_xvfb 1366x768 "xdotool xprop xwininfo openbox import" "$0" "$@"

make_work_folder "$editor"
start_openbox

"$work/posewrighter" &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
[ -n "$main" ] || { fail "no editor window"; exit 1; }
wait_started
main_hex=$(printf '0x%x' "$main")

# The Motif hints' flags and functions as numbers: "flags functions".
motif() { xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ' ' | awk -F, '{ print $1+0, $2+0 }'; }
# The windows from bottom to top, as openbox stacks them.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# *//p' | tr -d ' ' | tr ',' '\n'; }
# Whether window $1 stands above the main window in the stacking order.
above_main() {
    local order
    order=$(stacking | grep -n -x -i -e "$(printf '0x%x' "$1")" -e "$main_hex" | cut -d: -f2)
    [ "$(tail -n 1 <<<"$order")" = "$(printf '0x%x' "$1")" ]
}

panels=()
for title in "Part Panel" "Animation Panel" "Handling Panel" "Lighting Panel" "Material Panel"; do
    panel=$(wait_window "^${title}\$") || { fail "no window '$title'"; continue; }
    panels+=("$panel")
    wait_until 10 frame_rect "$panel" >/dev/null || fail "$title: not framed by the window manager"
    xprop -id "$panel" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_UTILITY' ||
        fail "$title: $(xprop -id "$panel" _NET_WM_WINDOW_TYPE)"
    [ "$(xprop -id "$panel" WM_TRANSIENT_FOR | sed -n 's/.*# *//p')" = "$main_hex" ] ||
        fail "$title: $(xprop -id "$panel" WM_TRANSIENT_FOR), the main window is $main_hex"
    # Functions given (flag 1), and among them no close (0x20), minimise (0x8), maximise
    # (0x10) or "all" (0x1).
    read -r flags functions <<<"$(motif "$panel")"
    if [ $((flags & 1)) != 1 ] || [ $((functions & 0x39)) != 0 ]; then
        fail "$title: Motif hints $(xprop -id "$panel" _MOTIF_WM_HINTS)"
    fi
    allowed=$(xprop -id "$panel" _NET_WM_ALLOWED_ACTIONS)
    grep -q _NET_WM_ACTION_MOVE <<<"$allowed" || fail "$title: allowed actions not read: $allowed"
    ! grep -q -e _NET_WM_ACTION_MAXIMIZE -e _NET_WM_ACTION_RESIZE <<<"$allowed" ||
        fail "$title: $allowed"
done
[ "${#panels[@]}" = 5 ] || fail "${#panels[@]} panels shown, expected 5"
import -window root "$work/panels.png"
echo "screenshot: $work/panels.png"

# A click in the main window's view makes it the active window; the panels stay above it.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 600)) $((Y + 440)) click 1
main_active() { xprop -root _NET_ACTIVE_WINDOW | grep -q -i "$main_hex\$"; }
wait_until 10 main_active ||
    fail "the main window did not become active on a click: $(xprop -root _NET_ACTIVE_WINDOW)"
for panel in "${panels[@]}"; do
    above_main "$panel" || fail "$(xdotool getwindowname "$panel") is below the main window: $(stacking | tr '\n' ' ')"
done

end_editor
finish_checks "panel decorations test"
