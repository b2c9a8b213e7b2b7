#!/usr/bin/env bash
# Installs what is missing, builds velmora.exe with its screen session
# (tests/e2e/screen_e2e_test.cpp) and takes pictures: under Wine on a screen of its own, the
# session reads examples/items.bin in with a real click on 読込, opens every dialog and keeps
# each window's own pixels. It finds every control by asking the window, so the pictures follow
# the layout. Rerun it when the window changes:
#   bash scripts/screenshot.sh [picture.png]          the main window at 96 DPI (docs/velmora.png)
#   bash scripts/screenshot.sh --dpi N [folder]       every window at N DPI (docs/dpi-N/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."

dpi=
if [ "${1:-}" = --dpi ]; then
  dpi=$2
  shift 2
fi

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target velmora_e2e_tests

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# Its own Xvfb (wine-run.sh starts one without DISPLAY): no window manager, the same pixels.
env -u DISPLAY bash tests/e2e/screens.sh save build/windows/tests/e2e/velmora_e2e_tests.exe \
  build/windows/wine-run.sh "${dpi:-96}" "$shots" >/dev/null

if [ -n "$dpi" ]; then
  folder=${1:-docs/dpi-$dpi}
  mkdir -p "$folder"
  cp "$shots"/*.png "$folder"/
  echo "Pictures of every window at $dpi DPI: $folder"
else
  picture=${1:-docs/velmora.png}
  mkdir -p "$(dirname "$picture")"
  cp "$shots/main.png" "$picture"
  echo "Picture of Velmora with examples/items.bin read in: $picture"
fi
