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
    for section in MAIN_DIALOG HANDING_DIALOG LIGHT_DIALOG ANIM_DIALOG; do
        printf '[%s]\r\nLEFT= %d\r\nTOP= 0\r\n' "$section" "$2" >>"$1"
    done
    printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n' >>"$1"
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

# Polls for up to 10 seconds until no visible window's name matches $1.
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# How many windows of the editor started as $pid are visible.
visible_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }

# The exit trap of a script that runs the editor as $pid in the folder $work: ends an editor
# still running, and removes the folder unless a check failed (then its files stay for a look).
end_editor_and_work() {
    if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid"
    fi
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "files kept in $work"; fi
}

# Keeps the editor's state folder (its recovery copy) inside the test's folder $1, so that no
# test finds a copy another left, or leaves one in the real home.
keep_state_in() { export XDG_STATE_HOME="$1/state"; }
