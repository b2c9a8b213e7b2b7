#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine in examples/.
# With a display it runs until you close it. Without one it runs on its own Xvfb, saves a
# screenshot of the window to build/windows/velmora-screenshot.png, says so, and ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows

# The example files are committed; only a tree without them needs the native generator.
if [ ! -f examples/struct.def ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native --target make_examples
  build/native/examples/make_examples examples
fi

runner="$root/build/windows/wine-run.sh"  # the tests' Wine prefix, fonts and locale
exe="$root/build/windows/app/velmora.exe"
cd examples

if [ -n "${DISPLAY:-}" ]; then
  exec "$runner" "$exe"
fi

screenshot="$root/build/windows/velmora-screenshot.png"
rm -f "$screenshot"
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
program=
finish() {
  if [ -n "$program" ] && kill -0 "$program" 2>/dev/null; then kill "$program" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  rm -f "$displayfile"
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "run-example.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"

# A Wine desktop window gives the program a title bar to show in the screenshot.
"$runner" explorer /desktop=Velmora,1280x1024 "Z:${exe//\//\\}" >/dev/null 2>&1 &
program=$!

title="Velmora β版"
shown=
for _ in $(seq 240); do  # a new Wine prefix takes up to a minute to set up
  if xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; then shown=1; break; fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.5
done
if [ -z "$shown" ]; then
  echo "run-example.sh: the window \"$title\" did not show" >&2
  exit 1
fi
sleep 3  # let the first paint finish
import -window root "$screenshot"
echo "Screenshot of Velmora running on examples/: $screenshot"

# Close it as a user would (WM_CLOSE), then make sure it is gone.
"$runner" taskkill /im velmora.exe >/dev/null 2>&1 || true
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
