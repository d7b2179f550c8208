#!/usr/bin/env bash
# A part file from a Windows tool, on a virtual display: usage shift_jis_names_test.sh EDITOR MESH
# - the part file names its parts and meshes in Shift-JIS (頭パーツ.x under a drive path, 腕.x
#   beside it), with CR LF line ends; the meshes lie beside it under their UTF-8 names, as
#   unpackers here give them;
# - the editor opens it with both meshes loaded (no notice box) and the Part panel's tree shows
#   the names as text; with GUI_SHOTS set, the panel's picture is copied there to be looked at.
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: shift_jis_names_test.sh EDITOR MESH"
editor="${1:?$usage}"
mesh="${2:?$usage}"

run_inside_xvfb 1024x768 "xdotool import" "$0" "$@"

make_work_folder "$editor"
# The Part panel beside the view, the other panels below the view, clear of it.
printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 0\r\n' \
    >"$work/Posewrighter.ini"
for section in ANIM_DIALOG HANDING_DIALOG LIGHT_DIALOG MATERIAL_DIALOG; do
    printf '[%s]\r\nLEFT= 0\r\nTOP= 520\r\n' "$section" >>"$work/Posewrighter.ini"
done
cp "$mesh" "$work/頭パーツ.x"
cp "$mesh" "$work/腕.x"
cp "$(dirname "$mesh")"/*.jpg "$work/"
head=$'\x93\xaa\x83\x70\x81\x5b\x83\x63.x' arm=$'\x98\x72.x'
{
    printf 'short g_meshCount = 2;\r\n\r\nfloat g_scale = 1.000000f;\r\n\r\n'
    printf 'char g_name[2][64] = {\r\n\t"%s",\r\n\t"%s",\r\n};\r\n\r\n' "$head" "$arm"
    printf 'char g_path[2][256] = {\r\n\t"C:\\models\\%s",\r\n\t"%s",\r\n};\r\n\r\n' "$head" "$arm"
    printf 'short g_parents[2] = {\r\n\t-1,\t// %s\r\n\t0,\t// %s\r\n};\r\n\r\n' "$head" "$arm"
    printf 'short g_level[2] = {\r\n\t0,\t// %s\r\n\t1,\t// %s\r\n};\r\n\r\n' "$head" "$arm"
    printf 'VEC3 g_posDef[2] = {\r\n'
    printf '\tVEC3( +0.000000f, +0.000000f, +0.000000f),\t// x\r\n%.0s' 1 2
    printf '};\r\n\r\nQUAT g_quaDef[2] = {\r\n'
    printf '\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// x\r\n%.0s' 1 2
    printf '};\r\n\r\n'
} >"$work/model.pwp"
grep -q -F "C:\\models\\" "$work/model.pwp" || fail "the fixture's drive path is not as a Windows tool writes it"

(cd "$work" && exec ./posewrighter model.pwp 2>"$work/log.txt") &
pid=$!
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
part=$(wait_window '^Part Panel$')
if [ -z "$main" ] || [ -z "$part" ]; then
    fail "the editor's window and its Part panel did not both show"
    exit 1
fi
wait_probe "parts=2" "the part file opened"
drawn_shot "$part"
[ -n "${GUI_SHOTS:-}" ] && cp "$shot" "$GUI_SHOTS/part_panel_shift_jis.png"
# Opened by a bare relative name, the part file's folder is the current one.
grep -q -F "load(頭パーツ.x) ... ok." "$work/log.txt" ||
    fail "頭パーツ.x was not loaded: $(grep -a 'load(' "$work/log.txt")"
grep -q -F "load(腕.x) ... ok." "$work/log.txt" || fail "腕.x was not loaded"
grep -q -F "failed" "$work/log.txt" && fail "something failed to load: $(grep -a failed "$work/log.txt")"
# Six windows: the view and its five panels; a notice box would be a seventh.
[ "$(visible_windows)" -eq 6 ] || fail "$(visible_windows) windows show, expected 6"
end_editor

finish_checks "Shift-JIS names test"
