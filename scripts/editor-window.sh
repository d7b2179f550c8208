# Shell functions shared by the scripts that drive the editor's window (sourced, not run).

# Escape is sampled once a frame: focus the window and hold the key for several frames.
hold_escape() {
    xdotool windowfocus "$1" 2>/dev/null || true
    sleep 0.3
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
}

# Waits up to $2 tenths of a second for process $1 to end; fails when it is still running.
wait_for_exit() {
    for _ in $(seq "$2"); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    ! kill -0 "$1" 2>/dev/null
}

# Runs the calling script again inside a virtual display (xvfb-run) unless it already runs in
# one, after checking that the tools it names exist. Usage, before anything else is done:
#   run_inside_xvfb 1024x768 "xdotool import" "$0" "$@"
run_inside_xvfb() {
    local screen=$1 tools=$2
    shift 2
    [ "${GUI_TEST_INSIDE_XVFB:-}" = 1 ] && return 0
    local tool
    for tool in xvfb-run $tools; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool (scripts/install-deps.sh)"; exit 1; }
    done
    GUI_TEST_INSIDE_XVFB=1 QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 ${screen}x24" "$@"
}

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

# Polls for up to 10 seconds until a visible window whose name matches $1 exists; prints it.
wait_window() {
    local found
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}

# The visible windows of the editor $pid, one id a line.
editor_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null; }
# Polls for up to 10 seconds until a window of the editor's that is not in $1 shows; prints it.
wait_new_window() {
    local found
    for _ in $(seq 100); do
        found=$(editor_windows | grep -v -x -F "$1" | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}
# Polls for up to 10 seconds until the editor's window $1 is no longer shown.
wait_closed() {
    for _ in $(seq 100); do
        editor_windows | grep -q -x "$1" || return 0
        sleep 0.1
    done
    return 1
}

# Polls for up to 10 seconds until no visible window's name matches $1.
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
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

# Pictures of a window (in the folder $work) and polls on them.
shot_index=0
window_shot() {
    shot_index=$((shot_index + 1))
    shot="$work/shot$shot_index.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
}
changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }'; }
# Polls until window $1 has settled (two pictures alike) and, unless $2 is "settled", differs
# from picture $3; leaves the last picture in $shot.
wait_window_shot() {
    local previous
    window_shot "$1"
    for _ in $(seq 40); do
        previous="$shot"
        sleep 0.25
        window_shot "$1"
        [ "$(changed_pixels "$previous" "$shot")" -eq 0 ] || continue
        [ "$2" = settled ] && return 0
        [ "$(changed_pixels "$3" "$shot")" -gt 0 ] && return 0
    done
    return 1
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

# Keys typed into the tool panel $panel: its window takes the keyboard first.
panel_keys() {
    timeout 10 xdotool windowfocus --sync "$panel"
    xdotool key "$@"
}
# A menu of $panel's menu bar by its mnemonic (Alt+$1), then its item by mnemonic ($2) once the
# menu has opened (one more window of the editor $pid shows).
# On a loaded machine a key can come before the panel is ready for it: as a person would, the
# mnemonic is pressed again when no new window of the editor has shown after a while. (Never
# Escape: the editor ends on it from any of its windows.)
menu_command() {
    local before
    before=$(editor_windows)
    for _ in 1 2 3; do
        panel_keys "alt+$1"
        for _ in $(seq 60); do
            editor_windows | grep -q -v -x -F "$before" &&
                { xdotool key "$2"; return 0; }
            sleep 0.1
        done
    done
    fail "menu Alt+$1 did not open"
}
# The file dialog titled $1 (a regular expression): the path $2 typed and Enter; $3 says what
# for.
# Keys typed while the dialog is still settling can be lost: when it stays, the name is typed
# again over whatever the box holds, as a person would.
answer_dialog() {
    local dialog
    if ! dialog=$(wait_window "$1"); then
        fail "no file dialog \"$1\" after $3"
        return 1
    fi
    for _ in 1 2 3; do
        timeout 10 xdotool windowfocus --sync "$dialog" 2>/dev/null
        xdotool key ctrl+a
        xdotool type --delay 5 "$2"
        xdotool key Return
        wait_gone "$1" && return 0
    done
    fail "the file dialog stayed after $3"
}
# The editor's notice box, a window of $pid's not among the windows $1 listed before it, closed
# with Return; $2 says after what.
close_notice() {
    local notice=
    for _ in $(seq 100); do
        notice=$(editor_windows | grep -v -x -F "$1" | head -n 1)
        [ -n "$notice" ] && break
        sleep 0.1
    done
    [ -n "$notice" ] || { fail "no notice after $2"; return 1; }
    # A key that comes while the box is still being shown is lost: Return again, as a person
    # would press it again.
    # A box that has not taken the keyboard yet is given it as a person would: a click on its
    # text (top middle, clear of its button), then Return.
    local attempt
    for attempt in 1 2 3; do
        timeout 10 xdotool windowfocus --sync "$notice" 2>/dev/null
        if [ "$attempt" -gt 1 ]; then
            eval "$(xdotool getwindowgeometry --shell "$notice")"
            xdotool mousemove $((X + WIDTH / 2)) $((Y + 12)) click 1
            sleep 0.2
        fi
        xdotool key Return
        for _ in $(seq 40); do
            editor_windows | grep -q -x "$notice" || return 0
            sleep 0.1
        done
    done
    fail "the notice after $2 did not close on Return"
}
# Escape ends the editor $pid (its window $main) within 10 seconds, with exit code 0.
end_editor() {
    hold_escape "$main"
    if ! wait_for_exit "$pid" 100; then
        fail "the editor did not end within 10 seconds of Escape"
        kill "$pid"
    fi
    wait "$pid"
    local code=$?
    pid=
    [ "$code" = 0 ] || fail "exit code $code, expected 0"
}
# The left button goes down at screen point ($1, $2), the cursor moves by ($3, $4) in ten steps
# and the button comes up; then the cursor moves on. The 3D view ($main) must change while the
# button is held. Without a window manager nothing takes the focus on a click: the panel $5 is
# given it, as a click would.
drag_from() {
    local before
    window_shot "$main"
    before="$shot"
    timeout 10 xdotool windowfocus --sync "$5"
    xdotool mousemove "$1" "$2"
    xdotool mousedown 1
    # Frames see the press before the cursor moves (also in a slow sanitizer build): the drag
    # starts where the press was.
    sleep 0.5
    for _ in $(seq 10); do
        xdotool mousemove_relative -- $(($3 / 10)) $(($4 / 10))
        sleep 0.05
    done
    wait_window_shot "$main" differs "$before" || fail "the view did not change during the drag"
    xdotool mouseup 1
    wait_window_shot "$main" settled || fail "the view did not settle after the drag"
    # Released there, outside every window: the drag has ended and the cursor moves nothing.
    local released="$shot"
    xdotool mousemove_relative -- $((-$3 / 2)) 0
    if ! wait_window_shot "$main" settled || [ "$(changed_pixels "$released" "$shot")" -ne 0 ]; then
        fail "the drag went on after the button came up"
    fi
}

# The folder $work that a window test runs the editor $1 in (a copy of it, so that its settings
# file is the test's own) and keeps its state folder, removed at the end unless a check failed;
# leaks are not reported for the window system's libraries.
make_work_folder() {
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    work=$(mktemp -d)
    keep_state_in "$work"
    pid=
    trap end_editor_and_work EXIT
    cp "$1" "$work/posewrighter"
}
# Keeps the editor's state folder (its recovery copy) inside the test's folder $1, so that no
# test finds a copy another left, or leaves one in the real home.
keep_state_in() { export XDG_STATE_HOME="$1/state"; }

# Starts openbox on the virtual display and waits until it manages windows; it is ended with the
# editor's folder (the exit trap of make_work_folder). Its process is $wm.
start_openbox() {
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    trap 'kill "$wm" 2>/dev/null; end_editor_and_work' EXIT
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "openbox did not start"
    exit 1
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
