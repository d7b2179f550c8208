#!/usr/bin/env bash
# Two editors at once keep a recovery copy each, and only a copy whose editor is gone is offered,
# on a virtual display:
# usage recovery_two_editors_test.sh EDITOR ROBOT_FOLDER
# - editor A opens a copy of the sample robot and makes the left upper arm's mirrored position
#   the default one (Home, Down, Down in the Part panel's tree, Alt+E V, Alt+D O): its copy
#   shows in a folder of its own;
# - editor B starts on the same files while A runs: no question (its frames run: the same edit
#   makes B a copy of its own), and A's copy is untouched;
# - A is killed (SIGKILL); editor C starts: it asks once, Enter restores A's work, and A's copy
#   becomes C's own (A's folder and lock file gone, C's copy holds A's part file); B's copy stays;
# - Escape ends C and B with their work unsaved: both copies stay, no lock file is left.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: recovery_two_editors_test.sh EDITOR ROBOT_FOLDER"
editor="${1:?$usage}"
robot="$(cd "${2:?$usage}" && pwd)"

run_inside_xvfb 1024x768 "xdotool import compare" "$0" "$@"

make_work_folder "$editor"
# Every editor this test started ends with it.
started=()
end_all() {
    local each
    for each in "${started[@]}"; do
        kill -0 "$each" 2>/dev/null && kill "$each" && wait "$each"
    done
    end_editor_and_work
}
trap end_all EXIT
cp -r "$robot" "$work/robot"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
copy="$XDG_STATE_HOME/Posewrighter/recovery"
layout=$'[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n'
layout+=$'[ANIM_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n'
printf '%s' "$layout" >"$work/Posewrighter.ini"

# Starts an editor on the robot; it becomes the one the shared helpers drive ($pid).
# Starts an editor with the probe file probe-$1.txt of its own.
start_editor() {
    probe="$work/probe-$1.txt"
    export POSEWRIGHTER_PROBE="$probe"
    probe_reset
    (cd "$work" && exec ./posewrighter "$work/robot/robot.pwp" "$work/robot/robot.pwa") &
    pid=$!
    started+=("$pid")
}
# The window of the editor $pid named $1, waited for. A search can end early when a window it
# looks at goes away meanwhile (start-up makes and drops windows): it is then made again.
editor_window() {
    local found
    found=$(timeout 90 xdotool search --sync --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ] && echo "$found"
}
find_windows() {
    main=$(editor_window 'Posewrighter Version 1\.02$')
    part=$(editor_window '^Part Panel$')
    [ -n "$main" ] && [ -n "$part" ]
}
# The manifest of the copy of the editor with process id $1 (none when it has none).
manifest_of() {
    local manifest
    for manifest in "$copy"/editor-"$1"-*/manifest.txt; do
        [ -f "$manifest" ] && { echo "$manifest"; return 0; }
    done
}
# Polls (about 10 seconds) until the copy of editor $1 holds the manifest line $2.
copy_of_holds() {
    local manifest
    manifest=$(manifest_of "$1")
    [ -n "$manifest" ] && grep -q -x "$2" "$manifest"
}
wait_copy_of() { wait_until 10 copy_of_holds "$1" "$2"; }
# The left upper arm's position mirrored and made the default: the part file is unsaved.
edit_arm() {
    panel=$part
    wait_probe "parts=12" "the robot opened $1" 90
    panel_keys Home Down Down
    wait_probe "!selected=none" "a part selected in the tree $1"
    menu_command e v
    menu_command d o
    wait_probe "unsaved=part" "the mirrored arm made the default $1"
}

# ---- Editor A, with a copy of its own.
start_editor a
pid_a=$pid
find_windows || { fail "editor A's windows did not show"; exit 1; }
edit_arm "in A"
wait_copy_of "$pid_a" 'unsaved=model' ||
    fail "A made no copy of its own: $(ls -R "$XDG_STATE_HOME" 2>&1)"
manifest_a=$(manifest_of "$pid_a")
folder_a=$(dirname "$manifest_a")
cp "$folder_a/$(sed -n 's/^model=\([^ ]*\) .*/\1/p' "$manifest_a")" "$work/a.pwp"
cp "$manifest_a" "$work/a-manifest.txt"

# ---- Editor B while A runs: no question, so its frames run and its edit makes a copy.
start_editor b
pid_b=$pid
find_windows || { fail "editor B's windows did not show"; exit 1; }
main_b=$main
edit_arm "in B"
wait_copy_of "$pid_b" 'unsaved=model' ||
    fail "B made no copy (was it asked about A's?): $(ls -R "$copy" 2>&1)"
cmp -s "$manifest_a" "$work/a-manifest.txt" || fail "A's copy changed when B started"

# ---- A killed; editor C asks once and takes A's copy over.
kill -KILL "$pid_a"
wait "$pid_a" 2>/dev/null
start_editor c
pid_c=$pid
find_windows || { fail "editor C's windows did not show"; exit 1; }
main_c=$main
wait_probe "modal=1" "C offering the copy of the killed editor" 90
question=$(wait_new_window "$(printf '%s\n' "$main" "$part"; xdotool search --onlyvisible --name 'Panel$')") ||
    { fail "C did not offer the copy of the killed editor"; exit 1; }
timeout 10 xdotool windowfocus --sync "$question"
xdotool key Return
wait_modal_closed "the question box closing on Enter"
wait_copy_of "$pid_c" 'unsaved=model' || fail "C holds no copy after the restore: $(ls -R "$copy" 2>&1)"
manifest_c=$(manifest_of "$pid_c")
cmp -s "$(dirname "$manifest_c")/$(sed -n 's/^model=\([^ ]*\) .*/\1/p' "$manifest_c")" "$work/a.pwp" ||
    fail "C's copy is not A's work"
[ ! -e "$folder_a" ] || fail "A's copy stayed beside C's"
ls "$copy"/editor-"$pid_a"-*.lock >/dev/null 2>&1 && fail "A's lock file stayed"
[ -n "$(manifest_of "$pid_b")" ] || fail "B's copy went when C started"

# ---- C and B end with their work unsaved: the copies stay, the lock files go.
pid=$pid_c main=$main_c
end_editor
pid=$pid_b main=$main_b
end_editor
[ -n "$(manifest_of "$pid_b")" ] || fail "B's copy went when B ended"
[ -n "$(manifest_of "$pid_c")" ] || fail "C's copy went when C ended"
ls "$copy"/*.lock >/dev/null 2>&1 && fail "lock files left: $(ls "$copy")"

finish_checks "recovery test with two editors"
