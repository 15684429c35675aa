#!/usr/bin/env bash
# Takes a picture of the real program, board and panel, on a screen of its own (Xvfb):
# the demonstration's settings, route 12 keyed in and reset, the lamp test waited out.
#   bash scripts/screenshot.sh OUT.png [STEP...]
# Further steps, done in order before the picture is taken (the guide's pictures use them):
#   forward     press データ送り once
#   preview     open the ticket preview (>>)
#   lists       double-click the keypad's frame: the digit lists come to the front
#   options:N   open 設定... on page N (0 to 5); options:4b shows the page's second group
#   cell:N      double-click fare cell N: its digit settings
# With a dialog open the picture shows the dialog alone, else the board and the panel.
# Uses the program that scripts/run.sh builds (build/bin/ferio, build/demo), or the one of the
# build folder FERIO_BUILD. The user's own settings are not touched: the program runs on a
# scratch copy of the demonstration's settings.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: bash scripts/screenshot.sh OUT.png [forward|preview|lists|options:N|cell:N ...]" >&2
  exit 2
fi
out=$(realpath -ms "$1")
shift
build=$(realpath -ms "${FERIO_BUILD:-$(dirname "$0")/../build}")

for tool in Xvfb openbox xdotool xwininfo xprop import display convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: run bash scripts/deps.sh" >&2
    exit 1
  fi
done
for file in "$build/bin/ferio" "$build/bin/ferio-demo-settings" "$build/demo/12.hy3"; do
  if [ ! -e "$file" ]; then
    echo "$file is missing: build the program first (bash scripts/run.sh)" >&2
    exit 1
  fi
done

# The screen: the board goes to its top-left corner and the panel to its bottom-right one,
# so a screen little larger than the two shows them as they stand on a desktop.
screen_w=1040 screen_h=460
desktop_colour='#3b4a5a'

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    # The program leaves SIGTERM to its sound library, which only notes it: KILL after a moment.
    kill "${pids[i]}" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

convert -size "${screen_w}x${screen_h}" "xc:$desktop_colour" "$work/desktop.png"
# (display leaves its image as the root window's background and exits with 1.)
display -window root "$work/desktop.png" || true
# A window manager frames the panel as a desktop does (title bar, close box).
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

"$build/bin/ferio-demo-settings" "$work/ferio.in4" "$build/demo"
(cd "$build/demo" && SDL_AUDIODRIVER=dummy exec "$build/bin/ferio" --settings "$work/ferio.in4") \
  >"$work/ferio.log" 2>&1 &
pids+=($!)

window() {
  for _ in $(seq 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window \"$1\" appeared; the program said:" >&2
  cat "$work/ferio.log" >&2
  return 1
}
panel=$(window '集中操作盤')
board=$(window 'Ferio - 型番:')
sleep 0.5

# A window's client area on the screen: x y w h.
client() {
  xwininfo -id "$1" | awk -F: '
    /Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2}
    /^ *Width/ {w = $2} /^ *Height/ {h = $2}
    END {print x + 0, y + 0, w + 0, h + 0}'
}
# The same with the frame the window manager put round it.
framed() {
  local x y w h l r t b
  read -r x y w h < <(client "$1")
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ' | tr ',' ' ')
  echo $((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))
}

# Clicks at a place of the panel's client area, as src/panel/PanelGeometry.h lays it out.
read -r px py _ _ < <(client "$panel")
click() {
  xdotool mousemove $((px + $1)) $((py + $2)) click 1
  sleep 0.3
}
# The pointer off the windows, so that no button shows as hovered.
park() { xdotool mousemove $((screen_w - 1)) 0; }

# Route 12 on the keypad (the entry frame at 4,3; keys 1 and 2 in the third row), then リセット
# and the 3 s lamp test.
click $((4 + 14 + 35 * 0 + 15)) $((3 + 36 + 27 * 2 + 13))
click $((4 + 14 + 35 * 1 + 15)) $((3 + 36 + 27 * 2 + 13))
click $((4 + 8 + 56)) $((3 + 146 + 9))
park
sleep 4.5

dialog=
for step in "$@"; do
  case $step in
    forward) click $((138 + 49)) $((4 + 16)); park; sleep 1.5 ;;
    preview)
      click $((242 + 53)) $((144 + 13)); park; sleep 1
      # The panel grows to the left where the screen ends; its place is read again.
      read -r px py _ _ < <(client "$panel") ;;
    lists)
      # Right of the keys, inside the keypad's frame.
      xdotool mousemove $((px + 4 + 124)) $((py + 3 + 80)) click --repeat 2 1
      park; sleep 0.5 ;;
    options:*)
      page=${step#options:}
      click $((242 + 53)) $((84 + 13))
      dialog=$(window 'オプション')
      read -r dx dy _ _ < <(client "$dialog")
      # The page buttons run down the dialog's left side, 56 pixels high and 6 apart.
      index=${page%b}
      xdotool mousemove $((dx + 52)) $((dy + 39 + 62 * index)) click 1
      sleep 0.3
      # The sound page's second group: its button beside the first one.
      if [ "$page" != "$index" ]; then xdotool mousemove $((dx + 335)) $((dy + 102)) click 1; sleep 0.3; fi
      park; sleep 0.5 ;;
    cell:*)
      # Fare cell N: eight to a row, four rows (src/board/BoardGeometry.h).
      n=$((${step#cell:} - 1))
      read -r cx cy _ _ < <(client "$board")
      xdotool mousemove $((cx + 152 + 63 * (n % 8))) $((cy + 54 + 51 * (n / 8))) click --repeat 2 1
      dialog=$(window '表示設定')
      park; sleep 0.5 ;;
    *) echo "unknown step: $step" >&2; exit 2 ;;
  esac
done

import -window root "$work/screen.png"
if [ -n "$dialog" ]; then
  read -r left top w h < <(framed "$dialog")
  right=$((left + w)) bottom=$((top + h))
else
  read -r bx by bw bh < <(framed "$board")
  read -r fx fy fw fh < <(framed "$panel")
  left=$((bx < fx ? bx : fx)) top=$((by < fy ? by : fy))
  right=$((bx + bw > fx + fw ? bx + bw : fx + fw)) bottom=$((by + bh > fy + fh ? by + bh : fy + fh))
fi
convert "$work/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out"
echo "$out: $((right - left)) x $((bottom - top))"
