#!/usr/bin/env bash
# Checks what scripts/package.sh makes: two packagings of the same commit, the second after a
# fresh link, give the same bytes; the zip holds the files a user needs; readme.txt is code page
# 932 with CR LF and names the version; every exe carries its VERSIONINFO; and the exe unpacked
# into a folder of its own starts under Wine, lists the example structures and reads their data.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build/windows
work=$build/package-test
rm -rf "$work"
fail() { echo "package-test: $*" >&2; exit 1; }

bash scripts/package.sh "$work/first" >/dev/null
rm -f "$build/app/velmora.exe" "$build/cli/velmora-csv.exe"
bash scripts/package.sh "$work/second" >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zipname=velmora-$version-win64.zip
zip=$work/first/$zipname
cmp "$zip" "$work/second/$zipname" || fail "two packagings of the same tree differ"
cmp "$work/first/$zipname.sha256" "$work/second/$zipname.sha256" || fail "the sums differ"
(cd "$work/first" && sha256sum --quiet -c "$zipname.sha256") || fail "the sum file does not match"

expected="velmora-$version/LICENSE
velmora-$version/customers.bin
velmora-$version/device_log.bin
velmora-$version/items.bin
velmora-$version/readme.txt
velmora-$version/struct.def
velmora-$version/velmora-csv.exe
velmora-$version/velmora.exe"
listed=$(unzip -Z1 "$zip")
[ "$listed" = "$expected" ] || fail "the zip holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
folder=$unpacked/velmora-$version

readme=$folder/readme.txt
iconv -f CP932 -t UTF-8 "$readme" >/dev/null || fail "readme.txt is not code page 932"
crs=$(tr -cd '\r' <"$readme" | wc -c)
lfs=$(tr -cd '\n' <"$readme" | wc -c)
crlfs=$(grep -c $'\r$' "$readme" || true)
[ "$crs" -eq "$lfs" ] && [ "$crlfs" -eq "$lfs" ] || fail "readme.txt has line ends other than CR LF"
iconv -f CP932 -t UTF-8 "$readme" | grep -q "Velmora $version " || fail "readme.txt does not name $version"
cmp -s examples/struct.def "$folder/struct.def" || fail "struct.def is not the example's"

# VERSIONINFO as windres reads it back from the linked programs.
IFS=. read -r major minor patch <<<"$version"
for exe in "$folder"/*.exe; do
  info=$(x86_64-w64-mingw32-windres -i "$exe" -J coff -O rc 2>/dev/null) ||
    fail "windres cannot read the resources of $(basename "$exe")"
  for line in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" \
              "VALUE \"ProductName\", \"Velmora\"" "VALUE \"FileVersion\", \"$version\"" \
              "VALUE \"ProductVersion\", \"$version\"" "VALUE \"FileDescription\", L\"Velmora " \
              "VALUE \"OriginalFilename\", \"$(basename "$exe")\""; do
    grep -qF "$line" <<<"$info" || fail "$(basename "$exe"): no $line in its VERSIONINFO"
  done
done

VELMORA_EXE="$folder/velmora.exe" VELMORA_PACKAGE_DIR="Z:${folder//\//\\}" \
  "$build/wine-run.sh" "$build/tests/e2e/velmora_e2e_tests.exe" \
  --gtest_filter='PackageTest.*' --gtest_brief=1 || fail "the unpacked program failed its session"
echo "package-test: $zipname ($(stat -c %s "$zip") bytes) passed"
