#!/usr/bin/env bash
# The Part panel driven as a person would, on a virtual display:
# usage part_panel_test.sh EDITOR CLI MESH_FOLDER
# - the editor starts empty with the panel "Part Panel" where the settings file puts it;
# - Edit > Add child part (Alt+E, A) three times through the file dialog, a path typed and
#   Enter: a root and, with the root selected (Home in the tree), two children under it;
# - File > Save (Alt+F, S): a name without extension typed, Enter; the editor says it wrote;
# - File > Close (Alt+F, C) empties the tree, File > Open (Alt+F, O) brings the same tree back;
# - the saved file holds the bytes that the part-file writer gives for that tree
#   (posewrighter-cli resave of the same tree written out by hand);
# - Escape ends the editor, which stores the panel's position under "MAIN_DIALOG".
set -uo pipefail
# shellcheck source=scripts/editor-window.sh
source "$(cd "$(dirname "$0")" && pwd)/../../scripts/editor-window.sh"

usage="usage: part_panel_test.sh EDITOR CLI MESH_FOLDER"
editor="${1:?$usage}"
cli="${2:?$usage}"
meshes="$(cd "${3:?$usage}" && pwd)"

run_inside_xvfb 1024x768 "xdotool import compare convert" "$0" "$@"

make_work_folder "$editor"
# The main window at the top-left corner, the panel beside it.
printf '[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\n[MAIN_DIALOG]\r\nLEFT= 660\r\nTOP= 20\r\n' \
    >"$work/Posewrighter.ini"
# The lower three quarters of the panel's picture $1, where only the tree is (a new file beside
# it, named on standard output).
tree_area() {
    convert "$1" -gravity south -crop 100%x75%+0+0 +repage "$1.tree.png"
    echo "$1.tree.png"
}

# ---- The editor starts empty; the panel stands where the settings put it.
(cd "$work" && exec ./posewrighter) &
pid=$!
panel=$(wait_window '^Part Panel$' 90)
main=$(wait_window 'Posewrighter Version 1\.02$' 90)
if [ -z "$panel" ] || [ -z "$main" ]; then
    fail "no \"Part Panel\" beside the editor's window"
    exit 1
fi
wait_started
geometry=$(xdotool getwindowgeometry "$panel")
grep -q "Position: 660,20" <<<"$geometry" || fail "panel not at 660,20: $geometry"
drawn_shot "$panel"
empty="$shot"

# ---- The root, then two children of the root (selected first with Home in the tree).
menu_command e a
answer_dialog '^Open$' "$meshes/body.x" "adding the root"
wait_probe "parts=1" "the root added"
drawn_shot "$panel"
[ "$(changed_pixels "$empty" "$shot")" -gt 0 ] || fail "the tree did not change after the root was added"
root_only="$shot"
count=1
for child in head.x upper_arm_l.x; do
    panel_keys Home
    wait_probe "selected=0" "the root selected with Home"
    menu_command e a
    answer_dialog '^Open$' "$meshes/$child" "adding $child"
    count=$((count + 1))
    wait_probe "parts=$count" "$child added"
done
drawn_shot "$panel"
[ "$(changed_pixels "$root_only" "$shot")" -gt 0 ] ||
    fail "the tree did not change after the children were added"
built="$shot"

# ---- Saved under a name without extension: ".pwp" is added; the editor says it wrote.
before_save=$(editor_windows)
menu_command f s
answer_dialog '^Save As$' "$work/built" "saving" notice
close_notice "$before_save" "saving"
[ -s "$work/built.pwp" ] || fail "nothing saved to $work/built.pwp"

# ---- Closed: the tree empties. Reopened: the same tree again.
menu_command f c
wait_probe "parts=0" "File > Close"
drawn_shot "$panel"
[ "$(changed_pixels "$empty" "$shot")" -eq 0 ] || fail "the tree did not empty on close"
menu_command f o
answer_dialog '^Open$' "$work/built.pwp" "opening the saved file"
wait_probe "parts=3" "the saved file opened"
drawn_shot "$panel"
# The tree alone: the reopened file starts a new history, so Undo is grayed now.
[ "$(changed_pixels "$(tree_area "$built")" "$(tree_area "$shot")")" -eq 0 ] ||
    fail "the reopened tree does not look as it did when built (see $shot)"

# ---- The file is what the writer gives for the tree: a root and two children, in place.
{
    printf 'short g_meshCount = 3;\r\n\r\nfloat g_scale = 1.000000f;\r\n\r\n'
    printf 'char g_name[3][64] = {\r\n'
    printf '\t"%s",\r\n' body.x head.x upper_arm_l.x
    printf '};\r\n\r\nchar g_path[3][256] = {\r\n'
    printf '\t"%s",\r\n' "$meshes/body.x" "$meshes/head.x" "$meshes/upper_arm_l.x"
    printf '};\r\n\r\nshort g_parents[3] = {\r\n'
    printf '\t%s,\t// %s",\r\n' -1 body.x 0 head.x 0 upper_arm_l.x
    printf '};\r\n\r\nshort g_level[3] = {\r\n'
    printf '\t%s,\t// %s",\r\n' 0 body.x 1 head.x 1 upper_arm_l.x
    printf '};\r\n\r\nVEC3 g_posDef[3] = {\r\n'
    printf '\tVEC3( +0.000000f, +0.000000f, +0.000000f),\t// %s\r\n' body.x head.x upper_arm_l.x
    printf '};\r\n\r\nQUAT g_quaDef[3] = {\r\n'
    printf '\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// %s\r\n' \
        body.x head.x upper_arm_l.x
    printf '};\r\n\r\n'
} >"$work/by_hand.pwp"
"$cli" resave "$work/by_hand.pwp" "$work/expected.pwp" >/dev/null ||
    fail "posewrighter-cli could not resave the tree written by hand"
cmp -s "$work/expected.pwp" "$work/built.pwp" ||
    fail "the saved file differs from the writer's: $(diff "$work/expected.pwp" "$work/built.pwp" | head -5)"

# ---- Escape ends the editor; the panel's position is stored.
end_editor
if ! grep -q $'^\\[MAIN_DIALOG\\]\r$' "$work/Posewrighter.ini" ||
    [ "$(sed -n '/^\[MAIN_DIALOG\]/,/^\[/p' "$work/Posewrighter.ini" | tr -d '\r' | grep -c -x -e 'LEFT= 660' -e 'TOP= 20')" != 2 ]; then
    fail "panel position not stored: $(tr '\r' ' ' <"$work/Posewrighter.ini")"
fi

finish_checks "part panel test"
