#!/usr/bin/env bash
# Starts the editor: usage run-editor.sh EDITOR [ARGS...]
# With a display it simply runs. Without one ($DISPLAY empty) it runs on a virtual display
# (Xvfb), saves a screenshot after a few seconds, closes the editor with Escape and prints the
# screenshot's path (out/screenshot.png, or $SCREENSHOT).
set -euo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/editor-window.sh"

editor="${1:?usage: run-editor.sh EDITOR [ARGS...]}"
shift

if [ "${RUN_EDITOR_INSIDE_XVFB:-}" = 1 ]; then
    # Second stage, on the virtual display.
    # The main window's title carries the version the editor reports.
    version=$("$editor" --version | cut -d ' ' -f 2)
    "$editor" "$@" &
    pid=$!
    window=$(timeout 30 xdotool search --sync --name "Posewrighter Version $version" | head -n 1) || true
    if [ -z "$window" ]; then
        echo "run-editor: the editor window did not appear" >&2
        kill "$pid" 2>/dev/null || true
        wait "$pid" || true
        exit 1
    fi
    sleep "${SCREENSHOT_DELAY:-3}"
    import -window root "$SCREENSHOT"
    press_escape "$window"
    if ! wait_for_exit "$pid" 50; then
        echo "run-editor: the editor did not close on Escape; stopping it" >&2
        kill "$pid" 2>/dev/null || true
    fi
    wait "$pid" || true
    exit 0
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$editor" "$@"
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
export SCREENSHOT="${SCREENSHOT:-$root/out/screenshot.png}"
mkdir -p "$(dirname "$SCREENSHOT")"
rm -f "$SCREENSHOT"
echo "no display: running the editor on a virtual display (Xvfb)"
RUN_EDITOR_INSIDE_XVFB=1 QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$editor" "$@"
if [ ! -s "$SCREENSHOT" ]; then
    echo "run-editor: no screenshot was taken" >&2
    exit 1
fi
echo "screenshot: $SCREENSHOT"
