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
