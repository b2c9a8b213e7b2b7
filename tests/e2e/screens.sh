#!/usr/bin/env bash
# Pictures of the screen session (tests/e2e/screen_e2e_test.cpp): the main window with the
# example data and every dialog, each as the window's own pixels.
#   screens.sh compare TESTS WINE_RUN
#       at 96 DPI, every picture is pixel for pixel the committed one in tests/e2e/screens-96/
#       (ImageMagick's compare -metric AE gives 0); differences go to <build>/screens-96/
#   screens.sh save TESTS WINE_RUN DPI FOLDER [VELMORA_EXE]
#       the pictures at DPI as PNGs into FOLDER, of the given velmora.exe or the build's: the
#       committed 96-DPI pictures come from the program before its DPI awareness, a build of
#       f10ede1 (save ... 96 tests/e2e/screens-96 <that build>/app/velmora.exe)
# TESTS is velmora_e2e_tests.exe, WINE_RUN the build's wine-run.sh.
# The pixels are those of Debian's Wine and fonts (fonts-noto-cjk for every face, wine-run.sh);
# another version of either needs the pictures made again from that same earlier program.
set -euo pipefail
mode=$1 tests=$2 runner=$3
here=$(cd "$(dirname "$0")" && pwd)
names="main about settings export item-edit type"

shoot() {  # dpi folder [exe]
  mkdir -p "$2"
  rm -f "$2"/*.bmp
  env VELMORA_DPI="$1" VELMORA_SHOTS="$(realpath "$2")" ${3:+VELMORA_EXE="$(realpath "$3")"} \
    "$runner" "$tests" --gtest_brief=1 --gtest_filter='ScreenE2eTest.*'
}

case $mode in
  save)
    dpi=$4 folder=$5
    shoot "$dpi" "$folder" "${6:-}"
    for name in $names; do
      convert "$folder/$name.bmp" -strip -define png:compression-level=9 "$folder/$name.png"
      rm "$folder/$name.bmp"
    done
    ;;
  compare)
    out=$(dirname "$runner")/screens-96
    shoot 96 "$out"
    failed=0
    for name in $names; do
      ae=$(compare -metric AE "$here/screens-96/$name.png" "$out/$name.bmp" "$out/$name-diff.png" \
        2>&1 >/dev/null || true)
      echo "$name: compare -metric AE gives $ae"
      [ "$ae" = 0 ] || failed=1
    done
    exit $failed
    ;;
  *) echo "screens.sh: compare or save" >&2; exit 1 ;;
esac
