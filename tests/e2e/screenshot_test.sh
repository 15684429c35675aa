#!/usr/bin/env bash
# scripts/screenshot.sh against the built program: its clicks still set route 12 and step it
# (the board then shows fares in cells 1 and 2 and none in cell 3), and a dialog is pictured
# alone. The script hard-codes the panel's and the dialog's places, so a moved control shows here.
#   screenshot_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pixels of lit amber in a fare cell of the picture, whose top-left corner is the board's
# (cell N at the places of src/board/BoardGeometry.h: 57 x 29 pixels).
lit() {
  local n=$(($2 - 1))
  local x=$(((1860 + 942 * (n % 8)) / 15)) y=$(((600 + 765 * (n / 8)) / 15))
  convert "$1" -crop "57x29+$x+$y" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 && $2 > 220 && $3 > 140 && $4 < 200 { n++ } END { print n + 0 }'
}

failed=0
check() {
  if ! eval "$2"; then
    echo "FAILED: $1 ($2)"
    failed=1
  fi
}

FERIO_BUILD=$build_dir bash "$source_dir/scripts/screenshot.sh" "$work/board.png" forward
w=$(identify -format %w "$work/board.png") h=$(identify -format %h "$work/board.png")
check "the picture holds the screen's board and panel" '[ "$w" -eq 1040 ] && [ "$h" -ge 440 ]'
c1=$(lit "$work/board.png" 1) c2=$(lit "$work/board.png" 2) c3=$(lit "$work/board.png" 3)
check "route 12 at its second stop: fares in cells 1 and 2 ($c1, $c2 lit pixels)" '[ "$c1" -gt 50 ] && [ "$c2" -gt 50 ]'
check "no fare in cell 3 ($c3 lit pixels)" '[ "$c3" -eq 0 ]'

FERIO_BUILD=$build_dir bash "$source_dir/scripts/screenshot.sh" "$work/cell.png" cell:1
w=$(identify -format %w "$work/cell.png") h=$(identify -format %h "$work/cell.png")
check "the digit-settings dialog alone (${w} x ${h})" '[ "$w" -lt 600 ] && [ "$h" -lt 400 ]'
exit $failed
