#!/usr/bin/env bash
# The editor where its window cannot open: usage editor_without_display_test.sh EDITOR
# With DISPLAY naming a display that does not exist, with no display at all, and with a Qt
# platform that cannot start, the editor says on standard error and in its debug log ("-dbf")
# that no display was found, and ends with exit code 1: not killed by a signal, no core dump.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

editor="${1:?usage: editor_without_display_test.sh EDITOR}"


work=$(mktemp -d)
keep_state_in "$work"
trap 'rm -rf "$work"' EXIT
cp "$editor" "$work/posewrighter"
message="no display was found"

# Runs the editor with only the given display variables set.
run_without_display() {
    local label="$1"
    shift
    rm -f "$work/debug.txt"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" \
        "$work/posewrighter" -dbf 2>"$work/stderr" </dev/null
    local code=$?
    [ "$code" = 1 ] || fail "$label: exit code $code, expected 1"
    grep -q "$message" "$work/stderr" ||
        fail "$label: standard error does not say \"$message\": $(head -c 600 "$work/stderr")"
    grep -q "$message" "$work/debug.txt" 2>/dev/null ||
        fail "$label: the debug log does not say \"$message\""
}

run_without_display "DISPLAY=:99999" DISPLAY=:99999
run_without_display "no display variables"
run_without_display "a platform Qt cannot load" QT_QPA_PLATFORM=posewrighter-no-such-platform

[ "$failures" -eq 0 ] || exit 1
echo "editor without display test passed"
