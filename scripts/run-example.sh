#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine in examples/.
# With a display it runs until you close it. Without one it runs on its own Xvfb, reads
# examples/items.bin in with real input, saves a screenshot to
# build/windows/velmora-screenshot.png, says so, and ends it (scripts/screenshot.sh).
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

# Without a display: the README's picture, examples/items.bin read in, into the build folder.
cd "$root"
exec bash scripts/screenshot.sh build/windows/velmora-screenshot.png
