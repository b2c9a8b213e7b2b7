#!/usr/bin/env bash
# A real spreadsheet program in the loop: velmora-csv exports each example, LibreOffice Calc
# (headless) opens the CSV with every column read as text, as a careful user would (00FF stays
# 00FF), and saves it back as CSV in code page 932 and in UTF-8; importing either gives the
# identical data file. Then a formula over the price column, computed by Calc: the imported file
# differs in those fields only, and holds the values Calc computed.
#   bash tests/spreadsheet_round_trip.sh path/to/velmora-csv examples-folder
set -euo pipefail
velmora=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A profile of its own: runs side by side and a user's own Calc never meet.
export HOME=$work/home
mkdir -p "$HOME" "$work/cp932" "$work/utf8" "$work/formula"
calc() { soffice --headless --norestore --nolockcheck "$@" >"$work/calc.log" 2>&1 || {
  cat "$work/calc.log"
  fail "soffice $*"
}; }

# Calc's CSV filter options: comma, double quote, character set (60 code page 932, 76 UTF-8),
# from line 1, then the format of each column (1 standard, 2 text) on reading, or on saving
# the cells as shown.
reading() { # character set, then the columns to read as numbers
  local formats=() c
  for c in $(seq 1 64); do
    if [[ " ${*:2} " == *" $c "* ]]; then formats+=("$c/1"); else formats+=("$c/2"); fi
  done
  local IFS=/
  echo "Text - txt - csv (StarCalc):44,34,$1,1,${formats[*]},1033,false,false,false,false,false,0,true"
}
saving() { echo "csv:Text - txt - csv (StarCalc):44,34,$1,1,,0,false,true,true"; }

names=(items device_log customers)
structs=("" DeviceLog CustomerRecord) # items.bin is the first structure's
structure_of() { # the options that pick example $1's structure, into "structure"
  structure=(-d "$examples/struct.def")
  [ -z "${structs[$1]}" ] || structure+=(-s "${structs[$1]}")
}
for i in 0 1 2; do
  structure_of $i
  "$velmora" "${structure[@]}" "$examples/${names[i]}.bin" >"$work/${names[i]}.csv"
done

calc --infilter="$(reading 60)" --convert-to "$(saving 60)" --outdir "$work/cp932" "$work"/*.csv
calc --infilter="$(reading 60)" --convert-to "$(saving 76)" --outdir "$work/utf8" "$work"/*.csv
for i in 0 1 2; do
  structure_of $i
  for encoding in cp932 utf8; do
    saved=$work/$encoding/${names[i]}.csv
    cmp -s "$saved" "$work/${names[i]}.csv" && fail "Calc saved $saved unchanged: no round trip"
    as=()
    [ $encoding = cp932 ] || as=(--encoding utf-8)
    "$velmora" "${structure[@]}" "${as[@]}" --import "$saved" -o "$work/back.bin" \
      "$examples/${names[i]}.bin" || fail "import of $saved"
    cmp "$work/back.bin" "$examples/${names[i]}.bin" || fail "$saved did not come back as it was"
  done
done

# Prices up 10 %: "Address" (ignored by the import) carries the old price, the price column a
# formula over it; both read as numbers, every other column as text.
price=$(head -n 1 "$work/items.csv" | tr ',' '\n' | grep -n -x price | cut -d: -f1)
[ -n "$price" ] || fail "no price column"
awk -F, -v OFS=, -v p="$price" 'NR > 1 { $2 = $p; $p = "=ROUND(B" NR "*1.1)" } 1' \
  "$work/items.csv" >"$work/formula/in.csv"
structure_of 0
calc --infilter="$(reading 60 2 "$price")" --convert-to "$(saving 60)" --outdir "$work/formula/out" \
  "$work/formula/in.csv"
"$velmora" "${structure[@]}" --import "$work/formula/out/in.csv" -o "$work/raised.bin" \
  "$examples/items.bin" || fail "import of the raised prices"

# The raised file's export is the first export with each price rounded half away from zero.
awk -F, -v OFS=, -v p="$price" 'NR > 1 { v = $p * 11; $p = v >= 0 ? int((v + 5) / 10) : -int((5 - v) / 10) } 1' \
  "$work/items.csv" >"$work/expected.csv"
"$velmora" "${structure[@]}" "$work/raised.bin" >"$work/raised.csv"
cmp "$work/raised.csv" "$work/expected.csv" || fail "the raised prices"
# No byte outside the price fields changed (filler and bytes after a name's end included).
offset=$("$velmora" "${structure[@]}" --layout | awk -F'\t' '$2 == "price" { print $3 }')
records=$(($(wc -l <"$work/items.csv") - 1))
size=$(($(stat -c %s "$examples/items.bin") / records))
changed=$({ cmp -l "$work/raised.bin" "$examples/items.bin" || true; } |
  awk -v o="$offset" -v s="$size" '{ at = ($1 - 1) % s; if (at < o || at >= o + 4) bad++; n++ }
                                    END { print n + 0, bad + 0 }')
[ "${changed#* }" = 0 ] || fail "bytes outside the price fields changed"
[ "${changed% *}" -gt 0 ] || fail "no price changed"
echo "Calc round trips identical; $((${changed% *})) price bytes changed, nothing else"
