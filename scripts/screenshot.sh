#!/usr/bin/env bash
# Installs what is missing, builds velmora.exe and takes its picture with the example data read
# in: the program under Wine on a screen of its own, maximized, the data file's name typed into
# the path field and 読込 clicked with real input (xdotool), then the screen captured. Rerun it
# when the window changes:
#   bash scripts/screenshot.sh [picture.png]     (default docs/velmora.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
picture=$(realpath -m "${1:-docs/velmora.png}")

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target velmora

runner="$root/build/windows/wine-run.sh"  # the tests' Wine prefix, fonts and locale
exe="$root/build/windows/app/velmora.exe"
size=1100x600    # the whole window, every column of the first example structure
data=items.bin   # of the first structure, in examples/ where the program starts
# Points in the maximized window's client area: the path field and the read button (their
# places are fixed), below a caption and a menu bar of 40 pixels together.
client_top=40
path_field=(470 35)
read_button=(810 35)

cd examples
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
program=
finish() {
  if [ -n "$program" ] && kill -0 "$program" 2>/dev/null; then kill "$program" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  rm -f "$displayfile" "$picture.before.png"
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"

# A Wine desktop as large as the screen gives the program a title bar and room to maximize.
"$runner" explorer "/desktop=Velmora,$size" "Z:${exe//\//\\}" >/dev/null 2>&1 &
program=$!

title="Velmora β版"
window=
for _ in $(seq 240); do  # a new Wine prefix takes up to a minute to set up
  window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.5
done
[ -n "$window" ] || { echo "screenshot.sh: the window \"$title\" did not show" >&2; exit 1; }
sleep 2  # let start-up finish

click() { xdotool mousemove "$1" "$((client_top + $2))" click 1; sleep 0.5; }
xdotool key --window "$window" alt+space
sleep 0.5
xdotool key x  # the system menu's maximize
sleep 1
click "${path_field[@]}"
xdotool type --delay 50 "$data"
import -window root "$picture.before.png"
click "${read_button[@]}"
sleep 2
xdotool mousemove 1 1  # no hover highlight in the picture
sleep 0.5
mkdir -p "$(dirname "$picture")"
import -window root -strip "$picture"

# The rows must have come: the picture differs from the one before the click.
if [ "$(compare -metric AE "$picture.before.png" "$picture" null: 2>&1 || true)" -lt 2000 ]; then
  echo "screenshot.sh: the data did not show after 読込; see $picture" >&2
  exit 1
fi
echo "Picture of Velmora with examples/$data read in: $picture"

"$runner" taskkill /im velmora.exe >/dev/null 2>&1 || true
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
