#!/usr/bin/env bash
# The recovery copy survives a crash, on a virtual display:
# usage recovery_test.sh EDITOR CLI ROBOT_FOLDER
# - the editor opens a copy of the sample robot; in the Part panel the left upper arm is
#   selected (Home, Down, Down in the tree), its position mirrored (Edit, Alt+E V) and made the
#   default one (Alt+D O); the Animation panel's Set (Alt+S) stores the pose as key 1;
# - within a few seconds the copy, both documents unsaved, is in the editor's own folder in
#   $XDG_STATE_HOME/Posewrighter/recovery/;
# - the editor is killed (SIGKILL) and started again with the same files on its command line:
#   the question box shows, Enter restores; Escape ends it with the work still unsaved, so the
#   copy stays (the restoring editor's own now) and the next start asks again;
# - saved through the real dialogs (the part file under a new name; the animation under the name
#   the dialog starts with, the original file, after the overwrite question), the files are the
#   copy's bytes, the arm's new position is in them, and posewrighter-cli reads them;
# - with both saved the copy is gone; Escape ends the editor with exit code 0.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: recovery_test.sh EDITOR CLI ROBOT_FOLDER"
editor="${1:?$usage}"
cli="${2:?$usage}"
robot="$(cd "${3:?$usage}" && pwd)"

run_inside_xvfb 1024x768 "xdotool import compare" "$0" "$@"

make_work_folder "$editor"
cp -r "$robot" "$work/robot"
# Every folder the editor may write stays inside the test's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
recovery="$XDG_STATE_HOME/Posewrighter/recovery"
# The copy folder of the editor $pid (none until it has one).
copy_of_editor() {
    local folder
    for folder in "$recovery"/editor-"$pid"-*; do
        [ -d "$folder" ] || continue
        case ${folder##*/} in *.*) continue ;; esac
        echo "$folder"
        return 0
    done
}
layout=$'[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n'
layout+=$'[ANIM_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n'
printf '%s' "$layout" >"$work/Posewrighter.ini"

start_editor() {
    probe_reset
    (cd "$work" && exec ./posewrighter "$work/robot/robot.pwp" "$work/robot/robot.pwa") &
    pid=$!
}
find_windows() {
    main=$(wait_window 'Posewrighter Version 1\.02$' 90)
    part=$(wait_window '^Part Panel$' 90)
    anim=$(wait_window '^Animation Panel$' 90)
    [ -n "$main" ] && [ -n "$part" ] && [ -n "$anim" ]
}
keys_to() {
    local window=$1
    shift
    timeout 10 xdotool windowfocus --sync "$window"
    xdotool key "$@"
}
# Answers the save dialog that the command $1 opens: the path $2 typed, or nothing typed when
# empty (the name the dialog starts with, which exists: the overwrite question is answered
# Yes). Then closes the "written" notice.
save_through_dialog() {
    local dialog shown question notice
    $1
    wait_probe "modal=1" "the save dialog after $1"
    dialog=$(wait_window '^Save As$') || { fail "no save dialog after $1"; exit 1; }
    shown=$(editor_windows)
    timeout 10 xdotool windowfocus --sync "$dialog"
    [ -n "$2" ] && xdotool type --delay 5 "$2"
    xdotool key Return
    if [ -z "$2" ]; then
        question=$(wait_new_window "$shown") || { fail "no overwrite question"; exit 1; }
        keys_to "$question" alt+y
        shown=$(printf '%s\n%s' "$shown" "$question")
    fi
    wait_closed "$dialog" || fail "the save dialog stayed after $1"
    notice=$(wait_new_window "$shown") || { fail "no notice after $1"; exit 1; }
    keys_to "$notice" Return
    wait_modal_closed "the notice after $1 closing on Return"
}
save_part() {
    panel="$part"
    menu_command f a
}
save_animation() { keys_to_window "$anim" alt+v; }

# The editor's own copy holds the manifest line $1; the copy's folder is then $copy.
copy_holds() {
    copy=$(copy_of_editor)
    [ -n "$copy" ] && grep -q -x "$1" "$copy/manifest.txt" 2>/dev/null
}
# Waits (10 seconds) until the copy holds the manifest line $1: the keeper looks once a second
# and hands the copy to its writer thread.
wait_copy() { wait_until 10 copy_holds "$1"; }
copy_gone() { [ ! -e "$copy" ]; }

# ---- A posed robot, kept in the copy, then the editor killed.
start_editor
find_windows || { fail "the editor's windows did not show"; exit 1; }
[ -z "$(copy_of_editor)" ] || fail "a copy exists before any change"
wait_probe "parts=12" "the robot opened"
keys_to_window "$part" Home Down Down
wait_probe "!selected=none" "a part selected in the tree"
panel="$part"
menu_command e v
menu_command d o
wait_probe "unsaved=part" "the mirrored arm made the default"
wait_copy 'unsaved=model' || fail "no copy with the model unsaved: $(ls -R "$XDG_STATE_HOME" 2>&1)"
keys_to_window "$anim" alt+s
wait_probe "unsaved=part,anim" "the pose stored as key 1"
wait_copy 'unsaved=model animation' ||
    fail "no copy with both documents unsaved: $(cat "$copy/manifest.txt" 2>&1)"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
pid=
cp "$copy/$(sed -n 's/^model=\([^ ]*\) .*/\1/p' "$copy/manifest.txt")" "$work/copy.pwp"
cp "$copy/$(sed -n 's/^animation=\([^ ]*\) .*/\1/p' "$copy/manifest.txt")" "$work/copy.pwa"
cmp -s "$work/copy.pwp" "$work/robot/robot.pwp" && fail "the copy's part file is the original"
grep -q $'VEC3( +0.470000f, +0.620000f, +0.000000f),\t// upper_arm_l.x' "$work/copy.pwp" ||
    fail "the copy's part file lacks the mirrored arm"

# Starts the editor, waits for the question box and answers it with Enter (restore).
start_and_restore() {
    local question
    start_editor
    find_windows || { fail "the editor's windows did not show $1"; exit 1; }
    wait_probe "modal=1" "the question box at the start $1" 90
    question=$(wait_new_window "$(printf '%s\n' "$main" "$part" "$anim"; xdotool search --onlyvisible --name 'Panel$')") ||
        { fail "no question box at the start $1"; exit 1; }
    keys_to "$question" Return
    wait_modal_closed "the question box closing on Enter $1"
    wait_probe "parts=12 unsaved=part,anim" "the copy restored $1"
    # The restored copy is now this editor's own.
    wait_copy 'unsaved=model animation' || fail "the restored copy is not the editor's own $1"
}

# ---- Started again: the question, Enter restores. Escape at once keeps the copy (still
# unsaved), and the next start asks again.
start_and_restore "after the kill"
end_editor
[ -e "$copy/manifest.txt" ] || fail "Escape with restored, unsaved work removed the copy"
start_and_restore "after Escape"

# ---- Saved: the copy's bytes; then the copy is gone.
save_through_dialog save_part "$work/robot/after.pwp"
cmp -s "$work/robot/after.pwp" "$work/copy.pwp" ||
    fail "the restored part file differs from the copy: $(diff "$work/copy.pwp" "$work/robot/after.pwp" | head -5)"
save_through_dialog save_animation ""
cmp -s "$work/robot/robot.pwa" "$work/copy.pwa" ||
    fail "the restored animation, saved over its own file, differs from the copy"
"$cli" check "$work/robot/after.pwp" "$work/robot/robot.pwa" >"$work/check.txt" 2>&1 ||
    fail "posewrighter-cli does not read the saved files: $(head -3 "$work/check.txt")"
wait_probe "unsaved=none" "both documents saved"
wait_until 10 copy_gone || fail "the copy stayed after both documents were saved"

end_editor
[ ! -e "$copy" ] || fail "a copy was left by a quit with nothing unsaved"

finish_checks "recovery test"
