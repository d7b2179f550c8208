#!/usr/bin/env bash
# The installed programs: usage installed_editor_test.sh BUILD_DIR
# - `cmake --install` into a fresh prefix puts the programs, the font rules, the sample, the
#   desktop entry, the file types, the icon and the manual pages in place, and refreshes the
#   prefix's caches of file types and programs;
# - both programs answer --version and --help; the desktop entry and the manual pages are clean;
# - with the prefix's share/ on the desktop's data path, a part file is of the part file type
#   and `gio open` on the installed sample starts the installed editor on it (the robot drawn);
# - Escape ends it, and the settings went to the user's configuration folder, not to bin/.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

build="${1:?usage: installed_editor_test.sh BUILD_DIR}"
build="$(cd "$build" && pwd)"

run_inside_xvfb 1024x768 "xdotool import convert gio desktop-file-validate update-mime-database update-desktop-database groff" \
    "$0" "$@"

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

work=$(mktemp -d)
keep_state_in "$work"
pid=
trap end_editor_and_work EXIT
probe="$work/probe.txt"
export POSEWRIGHTER_PROBE="$probe"
probe_reset
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { fail "cmake --install failed: $(tail -n 3 "$work/install.log")"; exit 1; }

for file in bin/posewrighter bin/posewrighter-cli share/posewrighter/fonts.conf \
    share/posewrighter/samples/robot/robot.pwp share/posewrighter/samples/robot/body.x \
    share/applications/posewrighter.desktop share/mime/packages/posewrighter.xml \
    share/icons/hicolor/scalable/apps/posewrighter.svg share/man/man1/posewrighter.1 \
    share/man/man1/posewrighter-cli.1; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done

version=$(sed -n 's/^project(Posewrighter VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ "$("$prefix/bin/posewrighter" --version)" = "posewrighter $version" ] || fail "editor --version"
[ "$("$prefix/bin/posewrighter-cli" --version)" = "posewrighter-cli $version" ] || fail "tool --version"
"$prefix/bin/posewrighter" --help | grep -q '^usage: posewrighter ' || fail "editor --help"
"$prefix/bin/posewrighter-cli" --help | grep -q '^usage: posewrighter-cli ' || fail "tool --help"
desktop-file-validate "$prefix/share/applications/posewrighter.desktop" ||
    fail "the desktop entry is not valid"
problems=$(groff -man -ww -z "$prefix"/share/man/man1/posewrighter*.1 2>&1)
[ -z "$problems" ] || fail "manual pages: $problems"

# ---- The desktop: the prefix's types and entry, the programs on the path, a home of our own.
export XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share:/usr/share"
export XDG_CONFIG_HOME="$work/config" HOME="$work/home" PATH="$prefix/bin:$PATH"
mkdir -p "$HOME"
cp -r "$prefix/share/posewrighter/samples/robot" "$work/robot"
type=$(gio info -a standard::content-type "$work/robot/robot.pwp" | sed -n 's/.*standard::content-type: //p')
[ "$type" = application/x-posewrighter-part ] || fail "robot.pwp is of type '$type'"
type=$(gio info -a standard::content-type "$work/robot/robot.pwa" | sed -n 's/.*standard::content-type: //p')
[ "$type" = application/x-posewrighter-animation ] || fail "robot.pwa is of type '$type'"

gio open "$work/robot/robot.pwp" || fail "gio open"
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
[ -n "$main" ] || { fail "opening the part file did not start the editor"; exit 1; }
pid=$(xdotool getwindowpid "$main")
[ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$prefix/bin/posewrighter")" ] ||
    fail "the editor started is not the installed one: $(readlink -f "/proc/$pid/exe")"
# The robot's body stands in the middle of the view: not the background colour of its corner.
wait_probe "parts=12" "the sample robot opened" 90
drawn_shot "$main"
centre=$(convert "$shot" -format '%[pixel:p{320,225}]' info:)
corner=$(convert "$shot" -format '%[pixel:p{600,20}]' info:)
[ "$centre" != "$corner" ] || fail "the robot is not drawn in the view"

press_escape "$main"
wait_for_exit "$pid" 100 || fail "the editor did not end on Escape"
[ -s "$XDG_CONFIG_HOME/Posewrighter/Posewrighter.ini" ] ||
    fail "no settings in the configuration folder"
[ ! -e "$prefix/bin/Posewrighter.ini" ] || fail "the installed editor wrote its settings into bin/"

finish_checks "installed editor test"
