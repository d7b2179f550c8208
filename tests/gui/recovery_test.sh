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
copy_of_editor() { ls -d "$recovery"/editor-"$pid"-* 2>/dev/null | grep -v '\.[^/]*$' | head -n 1; }
layout=$'[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n'
layout+=$'[ANIM_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n'
printf '%s' "$layout" >"$work/Posewrighter.ini"

start_editor() {
    (cd "$work" && exec ./posewrighter "$work/robot/robot.pwp" "$work/robot/robot.pwa") &
    pid=$!
}
find_windows() {
    main=$(timeout 90 xdotool search --sync --onlyvisible --name 'Posewrighter Version 1\.02$' | head -n 1)
    part=$(timeout 90 xdotool search --sync --onlyvisible --name '^Part Panel$' | head -n 1)
    anim=$(timeout 90 xdotool search --sync --onlyvisible --name '^Animation Panel$' | head -n 1)
    [ -n "$main" ] && [ -n "$part" ] && [ -n "$anim" ]
}
keys_to() {
    local window=$1
    shift
    timeout 10 xdotool windowfocus --sync "$window"
    xdotool key "$@"
}
# A command of the Part panel's menu bar: the menu by its mnemonic ($1), then the item ($2)
# once the menu has opened.
menu_command() {
    local before
    before=$(editor_windows)
    keys_to "$part" "alt+$1"
    wait_new_window "$before" >/dev/null || fail "menu Alt+$1 did not open"
    xdotool key "$2"
}
# Answers the save dialog that the command $1 opens: the path $2 typed, or nothing typed when
# empty (the name the dialog starts with, which exists: the overwrite question is answered
# Yes). Then closes the "written" notice.
save_through_dialog() {
    local dialog shown question notice
    $1
    dialog=$(wait_window '^Save As$') || { fail "no save dialog after $1"; return 1; }
    shown=$(editor_windows)
    timeout 10 xdotool windowfocus --sync "$dialog"
    [ -n "$2" ] && xdotool type --delay 5 "$2"
    xdotool key Return
    if [ -z "$2" ]; then
        question=$(wait_new_window "$shown") || { fail "no overwrite question"; return 1; }
        keys_to "$question" alt+y
        shown=$(printf '%s\n%s' "$shown" "$question")
    fi
    wait_closed "$dialog" || fail "the save dialog stayed after $1"
    notice=$(wait_new_window "$shown") || { fail "no notice after $1"; return 1; }
    keys_to "$notice" Return
    wait_closed "$notice" || fail "the notice after $1 stayed"
}
save_part() { menu_command f s; }
save_animation() { keys_to "$anim" alt+v; }

# Polls (about 10 seconds) until two pictures in a row of window $1 are alike: the editor has
# finished opening what it opens and takes keys.
wait_settled() { wait_window_shot "$1" settled; }
# Polls (about 10 seconds) until the editor's own copy holds the manifest line $1; the copy's
# folder is then $copy.
wait_copy() {
    for _ in $(seq 100); do
        copy=$(copy_of_editor)
        [ -n "$copy" ] && grep -q -x "$1" "$copy/manifest.txt" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# ---- A posed robot, kept in the copy, then the editor killed.
start_editor
find_windows || { fail "the editor's windows did not show"; exit 1; }
[ -z "$(copy_of_editor)" ] || fail "a copy exists before any change"
wait_settled "$main" || fail "the view did not settle"
keys_to "$part" Home Down Down
menu_command e v
menu_command d o
wait_copy 'unsaved=model' || fail "no copy with the model unsaved: $(ls -R "$XDG_STATE_HOME" 2>&1)"
keys_to "$anim" alt+s
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
    question=$(wait_new_window "$(printf '%s\n' "$main" "$part" "$anim"; xdotool search --onlyvisible --name 'Panel$')") ||
        { fail "no question box at the start $1"; exit 1; }
    keys_to "$question" Return
    wait_closed "$question" || fail "the question box stayed after Enter"
    # The restored copy is now this editor's own.
    wait_copy 'unsaved=model animation' || fail "the restored copy is not the editor's own $1"
}
# Escape is sampled once a frame, and a restore's mesh loading may hold the first frames back:
# pressed again until the editor ends (bounded).
end_with_escape() {
    for _ in 1 2 3 4 5; do
        hold_escape "$main"
        wait_for_exit "$pid" 30 && break
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "the editor did not end after Escape five times"
        kill "$pid"
    fi
    wait "$pid"
    local code=$?
    pid=
    [ "$code" = 0 ] || fail "exit code $code, expected 0"
}

# ---- Started again: the question, Enter restores. Escape at once keeps the copy (still
# unsaved), and the next start asks again.
start_and_restore "after the kill"
end_with_escape
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
for _ in $(seq 50); do [ -e "$copy" ] || break; sleep 0.1; done
[ ! -e "$copy" ] || fail "the copy stayed after both documents were saved"

end_with_escape
[ ! -e "$copy" ] || fail "a copy was left by a quit with nothing unsaved"

finish_checks "recovery test"
