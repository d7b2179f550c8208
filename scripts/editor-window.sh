# shellcheck shell=bash
# Shell functions shared by the scripts that drive the editor's window (sourced, not run).

# Escape typed into window $1 once it has the keyboard (the editor keeps a press that comes
# between two frames for the next one).
press_escape() {
    timeout 10 xdotool windowfocus --sync "$1"
    xdotool key Escape
}

# Waits up to $2 tenths of a second for process $1 to end; fails when it is still running.
wait_for_exit() {
    local deadline=$((SECONDS + ($2 + 9) / 10))
    while kill -0 "$1" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# Runs the calling script again inside a virtual display (Xvfb) unless it already runs in one,
# after checking that the tools it names exist, and ends with its exit code. Usage, before
# anything else is done:
#   run_inside_xvfb 1024x768 "xdotool import" "$0" "$@"
# Xvfb picks a free display number itself (-displayfd), so that window tests started at the same
# time on one machine never share a display.
run_inside_xvfb() {
    local screen=$1 tools=$2
    shift 2
    [ "${GUI_TEST_INSIDE_XVFB:-}" = 1 ] && return 0
    local tool
    for tool in Xvfb $tools; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool (scripts/install-deps.sh)"; exit 1; }
    done
    local number_file display status
    number_file=$(mktemp)
    # -noreset: by default the server resets when its last client leaves, and a client that
    # connects during the reset (the editor right after the check below, or its second start)
    # is turned away ("could not connect to display").
    Xvfb -displayfd 1 -screen 0 "${screen}x24" -nolisten tcp -noreset >"$number_file" 2>/dev/null &
    xvfb_server=$!
    # The server goes with this script, however it ends.
    trap 'kill "$xvfb_server" 2>/dev/null; wait "$xvfb_server" 2>/dev/null' EXIT
    trap 'exit 1' HUP INT TERM
    wait_until 30 xvfb_answered "$number_file"
    display=$(head -n 1 "$number_file")
    rm -f "$number_file"
    [ -n "$display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
    export DISPLAY=":$display"
    # A client is let in once the server has finished starting.
    wait_until 30 xvfb_takes_clients || { echo "FAIL: Xvfb on $DISPLAY takes no clients"; exit 1; }
    GUI_TEST_INSIDE_XVFB=1 QT_QPA_PLATFORM=xcb "$@"
    status=$?
    exit "$status"
}
# The server $xvfb_server has written its display number to file $1, or has ended.
xvfb_answered() { [ -n "$(head -n 1 "$1")" ] || ! kill -0 "$xvfb_server" 2>/dev/null; }
xvfb_takes_clients() { xdotool getdisplaygeometry >/dev/null 2>&1; }

# Counts a failed check and says which; the script ends with `finish_checks NAME`.
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
finish_checks() {
    [ "$failures" -eq 0 ] || exit 1
    echo "$1 passed"
}

# Writes a settings file $1 that keeps every tool panel at x = $2 (logical pixels), clear of the
# main window at (0, 0), so screenshots of the main window show only its view.
place_panels_aside() {
    local section
    : >"$1"
    for section in MAIN_DIALOG HANDING_DIALOG LIGHT_DIALOG ANIM_DIALOG MATERIAL_DIALOG; do
        printf '[%s]\r\nLEFT= %d\r\nTOP= 0\r\n' "$section" "$2" >>"$1"
    done
    printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n' >>"$1"
}

# Writes a settings file $1 for a 1024 x 768 screen: the main window at the top-left corner, the
# Part panel beside it, the Handling and Lighting panels below it, and the Animation and Material
# panels clear of the view and of each other (the panels stay above the main window).
place_windows_for_dragging() {
    printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n' >"$1"
    printf '[HANDING_DIALOG]\r\nLEFT= 20\r\nTOP= 540\r\n[LIGHT_DIALOG]\r\nLEFT= 300\r\nTOP= 540\r\n' >>"$1"
    printf '[ANIM_DIALOG]\r\nLEFT= 440\r\nTOP= 620\r\n[MATERIAL_DIALOG]\r\nLEFT= 660\r\nTOP= 470\r\n' >>"$1"
}

# ---- The editor's test probe. make_work_folder points POSEWRIGHTER_PROBE at $probe: the editor
# appends a line of its state after every frame and whenever a modal window opens or closes, e.g.
#   frame=12 parts=13 selected=4 handle=move-x hover=idle light=idle key=1 playing=0 onion=0 undo=0 unsaved=none modal=0
# The waits below read only the lines after $probe_seen, the last line a wait matched (or
# probe_mark set), so that a state seen before an action never answers a wait that follows it.

# Empties the probe file for the next editor to start.
probe_reset() {
    : >"$probe"
    probe_seen=0
}
# Later waits see only the lines written from now on.
probe_mark() { probe_seen=$(wc -l <"$probe"); }
probe_last() { tail -n 1 "$probe"; }
# The number of the first line after $probe_seen holding every word of $1: "name=value" is that
# word, "name=value*" a word that begins so, "!" before either its absence, and "frame>N" a frame
# after N. Lines not yet written to the end are skipped.
probe_find() {
    awk -v start="$probe_seen" -v words="$1" '
        function has(word,    i, prefix) {
            prefix = word ~ /\*$/
            if (prefix) word = substr(word, 1, length(word) - 1)
            for (i = 1; i <= NF; i++) {
                if (prefix ? index($i, word) == 1 : $i == word) return 1
            }
            return 0
        }
        NR > start && / modal=[01]$/ {
            n = split(words, w, " ")
            for (i = 1; i <= n; i++) {
                if (w[i] ~ /^frame>/) {
                    f = $1
                    sub(/^frame=/, "", f)
                    if (f + 0 <= substr(w[i], 7) + 0) next
                } else if (substr(w[i], 1, 1) == "!") {
                    if (has(substr(w[i], 2))) next
                } else if (!has(w[i])) {
                    next
                }
            }
            print NR
            exit
        }' "$probe"
}
# Waits until the editor writes a line holding every word of $1 (see probe_find); $2 says what
# for. After ${3:-30} seconds, or when the editor has ended, the test fails with the last line
# and ends.
wait_probe() {
    local deadline=$((SECONDS + ${3:-30})) found
    while :; do
        found=$(probe_find "$1")
        if [ -n "$found" ]; then
            probe_seen=$found
            return 0
        fi
        if [ -n "${pid:-}" ] && ! kill -0 "$pid" 2>/dev/null && [ -z "$(probe_find "$1")" ]; then
            fail "$2: the editor ended before its probe said \"$1\" (last: $(probe_last))"
            exit 1
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            fail "$2: no probe line with \"$1\" within ${3:-30} seconds (last: $(probe_last))"
            exit 1
        fi
        sleep 0.05
    done
}
# Waits until $1 more frames (default 1) have been drawn after the last matched line: the view
# and the panels then show that line's state. After an input event, 2 frames make sure one frame
# began after the event and was drawn.
wait_frames() {
    [ "$probe_seen" -gt 0 ] || probe_mark
    local last
    last=$(sed -n "${probe_seen}s/^frame=\([0-9]*\) .*/\1/p" "$probe")
    wait_probe "frame>$((${last:-0} + ${1:-1} - 1)) modal=0" "${2:-waiting for a frame}"
}
# After an input event sent now: two frames later the editor has taken it.
frames_after_input() {
    probe_mark
    wait_frames 2 "$1"
}
# The editor has drawn its first frame.
wait_started() { wait_probe "frame>0" "the editor's first frame" 90; }

# ---- Windows. Each wait ends the test with a clear message after its time.

# Runs the command after $1 until it succeeds, for up to $1 seconds; fails when it never did.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# Waits (${2:-60} seconds) until a visible window whose name matches $1 shows; prints it. (A
# search is asked again rather than left to wait: one that meets a window going away ends.)
wait_window() {
    local found deadline=$((SECONDS + ${2:-60}))
    while [ "$SECONDS" -lt "$deadline" ]; do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.05
    done
    return 1
}

# The visible windows of the editor $pid, one id a line.
editor_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null; }
# Waits (10 seconds) until a window of the editor's that is not in $1 shows; prints it.
wait_new_window() {
    local found deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        found=$(editor_windows | grep -v -x -F "$1" | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.05
    done
    return 1
}
# Waits (10 seconds) until the editor's window $1 is no longer shown.
wait_closed() {
    local deadline=$((SECONDS + 10))
    while editor_windows | grep -q -x "$1"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# How many windows of the editor started as $pid are visible.
visible_windows() { editor_windows | wc -l; }

# The exit trap of a script that runs the editor as $pid in the folder $work: ends an editor
# still running, and removes the folder unless a check failed (then its files stay for a look).
end_editor_and_work() {
    if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid"
    fi
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "files kept in $work"; fi
}

# Pictures of a window (in the folder $work), taken once the probe has said the frame is drawn.
shot_index=0
window_shot() {
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
}
changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }'; }
# A picture of window $1 after one more frame has been drawn.
drawn_shot() {
    wait_frames 1 "${2:-drawing the view}"
    window_shot "$1"
}
# The screen point of the first pixel of colour $2 (reading order) in window $1's picture.
find_colour() {
    window_shot "$1"
    local at
    at=$(convert "$shot" txt:- | grep -i -m 1 "$2" | cut -d: -f1)
    [ -n "$at" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + ${at%,*})) $((Y + ${at#*,}))"
}

# Keys typed into window $1 once it has the keyboard and the editor has drawn frames since (it
# has then heard that the window is the active one, which its mnemonics need). Not while a modal
# window is open: no frames run then.
keys_to_window() {
    local window=$1
    shift
    timeout 10 xdotool windowfocus --sync "$window"
    frames_after_input "the window $window taking the keyboard"
    xdotool key "$@"
}
# Keys typed into the tool panel $panel (keys_to_window).
panel_keys() { keys_to_window "${panel:?}" "$@"; }
# A menu of $panel's menu bar by its mnemonic (Alt+$1), then its item by mnemonic ($2) once the
# menu has opened (one more window of the editor $pid shows). (Never Escape: the editor ends on
# it from any of its windows.) An open menu holds the keyboard, so this ends only when the menu
# has closed and the editor has run the command: a key sent before would go to the menu.
menu_command() {
    local before popup mark
    before=$(editor_windows)
    panel_keys "alt+$1"
    if ! popup=$(wait_new_window "$before"); then
        fail "menu Alt+$1 did not open"
        exit 1
    fi
    probe_mark
    mark=$probe_seen
    xdotool key "$2"
    if ! wait_closed "$popup"; then
        fail "menu Alt+$1 stayed open after $2"
        exit 1
    fi
    wait_command_ran "$mark" "menu Alt+$1, item $2"
}
# Waits until the editor has drawn a frame since now or opened a modal window after line $1 of
# the probe (a command that opens one runs no frame until it closes); $2 says what for. Later
# waits read on from line $1, so that the modal window's line is still theirs to see.
wait_command_ran() {
    local last deadline=$((SECONDS + 30)) found
    last=$(sed -n '$s/^frame=\([0-9]*\) .*/\1/p' "$probe")
    probe_seen=$1
    while :; do
        found=$(probe_find "modal=1")
        [ -n "$found" ] || found=$(probe_find "frame>${last:-0}")
        [ -n "$found" ] && return 0
        if [ "$SECONDS" -ge "$deadline" ]; then
            fail "$2: no frame and no modal window within 30 seconds (last: $(probe_last))"
            exit 1
        fi
        sleep 0.05
    done
}
# A modal window has closed ($1 says which) and, unless $2 is "notice" (a notice box follows at
# once, before any frame), the editor draws again: the window that had the keyboard before it
# has been given it back.
wait_modal_closed() {
    wait_probe "modal=0" "$1"
    [ "${2:-}" = notice ] && return 0
    wait_frames 1 "$1"
}
# The file dialog titled $1 (a regular expression): the path $2 typed and Enter; $3 says what
# for, $4 is "notice" when the editor's notice box follows it.
answer_dialog() {
    local dialog
    wait_probe "modal=1" "a file dialog for $3"
    if ! dialog=$(wait_window "$1"); then
        fail "no file dialog \"$1\" after $3"
        exit 1
    fi
    timeout 10 xdotool windowfocus --sync "$dialog"
    xdotool type --delay 5 "$2"
    xdotool key Return
    wait_modal_closed "the file dialog closing after $3" "${4:-}"
}
# The editor's notice box, a window of $pid's not among the windows $1 listed before it, closed
# with Return; $2 says after what.
close_notice() {
    local notice
    wait_probe "modal=1" "the notice after $2"
    if ! notice=$(wait_new_window "$1"); then
        fail "no notice after $2"
        exit 1
    fi
    timeout 10 xdotool windowfocus --sync "$notice"
    xdotool key Return
    wait_modal_closed "the notice after $2 closing on Return"
}
# The numbers of the line of array $2 (g_posDef, g_quaDef) for part $3 in the part file $1: four
# of them, the fourth 0 for a VEC3 line.
entry() {
    sed -n "/$2/,/};/p" "$1" | grep -m 1 "// $3"$'\r' | awk -F'[(,]' '{ print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}
# Escape ends the editor $pid (its window $main) within 10 seconds, with exit code 0.
end_editor() {
    press_escape "${main:?}"
    if ! wait_for_exit "$pid" 100; then
        fail "the editor did not end within 10 seconds of Escape"
        kill "$pid"
    fi
    wait "$pid"
    local code=$?
    pid=
    [ "$code" = 0 ] || fail "exit code $code, expected 0"
}
# The left button goes down at screen point ($1, $2) on a picture of the tool panel $5, the
# cursor moves by ($3, $4) in ten steps and the button comes up; then the cursor moves on. The
# probe's handle or light mode ($6: "handle" or "light") shows the drag; the 3D view ($main)
# must change while the button is held and stay as it was let go. Without a window manager
# nothing takes the focus on a click: the panel is given it, as a click would.
drag_from() {
    local before released kind=${6:-handle}
    timeout 10 xdotool windowfocus --sync "$5"
    drawn_shot "$main" "before the drag"
    before="$shot"
    xdotool mousemove --sync "$1" "$2"
    xdotool mousedown 1
    # The drag starts where the press was: the frame takes the press before the cursor moves.
    wait_probe "$kind=drag-*" "the press on the picture at $1,$2"
    for _ in $(seq 10); do
        xdotool mousemove_relative --sync -- $(($3 / 10)) $(($4 / 10))
    done
    frames_after_input "the drag's last move"
    window_shot "$main"
    [ "$(changed_pixels "$before" "$shot")" -gt 0 ] || fail "the view did not change during the drag"
    xdotool mouseup 1
    wait_probe "!$kind=drag-*" "the drag ending as the button came up"
    drawn_shot "$main" "the view after the drag"
    released="$shot"
    # Released there, outside every window: the drag has ended and the cursor moves nothing.
    xdotool mousemove_relative --sync -- $((-$3 / 2)) 0
    frames_after_input "the cursor moving after the drag"
    window_shot "$main"
    [ "$(changed_pixels "$released" "$shot")" -eq 0 ] || fail "the drag went on after the button came up"
}

# The folder $work that a window test runs the editor $1 in (a copy of it, so that its settings
# file is the test's own) and keeps its state folder and its probe file, removed at the end
# unless a check failed; leaks are not reported for the window system's libraries.
make_work_folder() {
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    work=$(mktemp -d)
    keep_state_in "$work"
    pid=
    trap end_editor_and_work EXIT
    cp "$1" "$work/posewrighter"
    probe="$work/probe.txt"
    export POSEWRIGHTER_PROBE="$probe"
    probe_reset
}
# Keeps the editor's state folder (its recovery copy) inside the test's folder $1, so that no
# test finds a copy another left, or leaves one in the real home.
keep_state_in() { export XDG_STATE_HOME="$1/state"; }

# openbox manages the windows of the virtual display; or its process $wm has ended.
openbox_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
openbox_up() { openbox_running || ! kill -0 "$wm" 2>/dev/null; }
# Starts openbox on the virtual display as $wm and waits (60 seconds: a loaded machine starts it
# slowly) until it manages windows; ends the test when it does not.
launch_openbox() {
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    wait_until 60 openbox_up
    if ! openbox_running; then
        fail "openbox did not start$(kill -0 "$wm" 2>/dev/null || echo ": it ended")"
        exit 1
    fi
}
# Starts openbox (launch_openbox); it is ended with the editor's folder (the exit trap of
# make_work_folder).
start_openbox() {
    trap 'kill "${wm:-}" 2>/dev/null; end_editor_and_work' EXIT
    launch_openbox
}

# The frame of window $1 (title bar and border included) as "left top right bottom"; fails
# while the window manager has not framed it.
frame_rect() {
    local extents left right top bottom info x y w h
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r left right top bottom <<<"$extents"
    [ "$top" -gt 0 ] || return 1
    info=$(xwininfo -id "$1") || return 1
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/^ *Width: *//p' <<<"$info")
    h=$(sed -n 's/^ *Height: *//p' <<<"$info")
    echo "$((x - left)) $((y - top)) $((x + w + right)) $((y + h + bottom))"
}

# LEFT and TOP of section $1 of the settings file $settings, as "left,top".
stored() {
    local section
    section=$(tr -d '\r' <"${settings:?}" | sed -n "/^\[$1\]\$/,/^\[/p")
    echo "$(sed -n 's/^LEFT= *//p' <<<"$section"),$(sed -n 's/^TOP= *//p' <<<"$section")"
}
