#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and packs what a user downloads:
# <output>/velmora-<version>-win64.zip and its SHA-256 sum file. The same commit gives the same
# bytes: files in a fixed order, every time stamp the commit's, no owner or extra fields.
#   bash scripts/package.sh [output-folder]     (default dist)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-dist}

bash scripts/setup.sh

cmake --preset windows >/dev/null
build=build/windows
cmake --build --preset windows -j2 --target velmora velmora-csv

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }
name=velmora-$version
zipname=$name-win64.zip
# The commit's time, so that a rebuild of the same commit stamps the same; a tree without its
# history gets a fixed one.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/$name
mkdir "$dir"
install -m 755 "$build/app/velmora.exe" "$dir/"
install -m 755 "$build/cli/velmora-csv.exe" "$dir/"
install -m 644 examples/struct.def examples/*.bin "$dir/"
# What Windows users open with a double-click: code page 932, CR LF.
sed "s/@VERSION@/$version/g; s/\$/\r/" docs/readme-ja.txt | iconv -f UTF-8 -t CP932 >"$dir/readme.txt"
sed 's/$/\r/' LICENSE >"$dir/LICENSE"
chmod 644 "$dir/readme.txt" "$dir/LICENSE"

files=()
while IFS= read -r file; do files+=("$name/$file"); done < <(cd "$dir" && LC_ALL=C ls)
TZ=UTC touch -h -d "@$stamp" "$dir" "$dir"/*
(cd "$stage" && TZ=UTC zip -q -X -D "$zipname" "${files[@]}")

mkdir -p "$out"
rm -f "$out/$zipname" "$out/$zipname.sha256"
mv "$stage/$zipname" "$out/"
(cd "$out" && sha256sum "$zipname" >"$zipname.sha256")
echo "$out/$zipname ($(stat -c %s "$out/$zipname") bytes), $out/$zipname.sha256"
