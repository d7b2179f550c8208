#!/usr/bin/env bash
# Start-up time of the editor on the sample robot, as people start it: on a virtual display
# (Xvfb) with a window manager (openbox). usage: startup.sh EDITOR [RUNS]
# Each run starts the editor on samples/robot and measures, from the start of the process, the
# time to its first frame drawn with the robot's parts: the probe's first line with parts= above
# 0 (the probe writes its line after the frame is shown). The editor shows its panels before its
# first frame; each run checks that all six windows show by then. (A search for a window takes
# xdotool 40 to 150 ms here, so windows are not timed one by one.)
# One run before the measured ones warms the disk cache and writes the settings file, so the
# measured starts are ordinary ones, not first starts. Prints each run, then the least, the
# median and the most in seconds. The probe is polled every 5 ms, which bounds the resolution.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/editor-window.sh
source "$here/../scripts/editor-window.sh"

usage="usage: startup.sh EDITOR [RUNS]"
editor="${1:?$usage}"
runs="${2:-5}"
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "$usage (RUNS a whole number above 0)" >&2; exit 2; }
robot="$(cd "$here/../samples/robot" && pwd)"

run_inside_xvfb 1366x768 "xdotool xprop openbox" "$0" "$@"

make_work_folder "$editor"
start_openbox

titles=("Posewrighter Version" "Part Panel" "Animation Panel" "Handling Panel" "Lighting Panel"
    "Material Panel")
# Every title names a visible window; the missing ones are named in $missing.
all_windows_show() {
    local title
    missing=""
    for title in "${titles[@]}"; do
        [ -n "$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)" ] ||
            missing+=" '$title'"
    done
    [ -z "$missing" ]
}
first_robot_frame() { grep -q -m 1 ' parts=[1-9]' "$probe"; }
now_ns() { date +%s%N; }
seconds_since() { awk -v a="$1" -v b="$(now_ns)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }

# Runs the command "$@" every 5 ms until it succeeds; fails when the editor ends first or after
# 60 seconds.
poll() {
    local deadline=$((SECONDS + 60))
    until "$@"; do
        kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.005
    done
}

# One start: sets $first, the seconds to the first frame with the robot.
one_start() {
    probe_reset
    local start
    start=$(now_ns)
    "$work/posewrighter" "$robot/robot.pwp" "$robot/robot.pwa" >/dev/null 2>&1 &
    pid=$!
    poll first_robot_frame || { fail "no frame with the robot's parts"; exit 1; }
    first=$(seconds_since "$start")
    all_windows_show || { fail "at the first frame these windows did not show:$missing"; exit 1; }
    main=$(xdotool search --onlyvisible --name "Posewrighter Version" | head -n 1)
    end_editor
    [ "$failures" -eq 0 ] || exit 1
}

one_start
results=()
for ((run = 1; run <= runs; run++)); do
    one_start
    results+=("$first")
    echo "run $run: first_frame $first s"
done
printf '%s\n' "${results[@]}" | sort -n | awk '
    { value[NR] = $1 }
    END { printf "first_frame least %.3f s  median %.3f s  most %.3f s\n", value[1],
          value[int((NR + 1) / 2)], value[NR] }'
finish_checks "start-up benchmark" >/dev/null
