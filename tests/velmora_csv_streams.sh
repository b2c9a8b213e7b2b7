#!/usr/bin/env bash
# velmora-csv over real pipes: 5 GiB of 64 KiB records in bounded memory with addresses past
# 4 GiB, records of 256 MiB in the same memory (one ending in a String of no bytes), a slice that
# starts past records a pipe cannot seek over, and a reader that goes away while the data never
# ends.
set -euo pipefail
csv=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The peak the last timed run left in peak_kib, at most 64 MiB.
peak_within_64_mib() {  # what
  peak=$(cat "$dir/peak_kib")
  [ "$peak" -le 65536 ] || fail "$1: peak memory ${peak} KiB over 64 MiB"
}

printf 'struct Big { ulong n; string text [65532]; }\n' > "$dir/big.def"
records=81920  # x 65536 bytes = 5 GiB
head -c $((records * 65536)) /dev/zero |
  /usr/bin/time -f %M -o "$dir/peak_kib" "$csv" -d "$dir/big.def" - > "$dir/big.csv"
lines=$(wc -l < "$dir/big.csv")
[ "$lines" -eq $((records + 1)) ] || fail "$lines lines, not $((records + 1))"
last=$(tail -n 1 "$dir/big.csv")
[ "$last" = $'81919,13FFF0000,0,\r' ] || fail "last line: $last"
[ "$(head -n 2 "$dir/big.csv" | tail -n 1)" = $'0,00000000,0,\r' ] || fail "first record"
peak_within_64_mib "5 GiB"
echo "peak resident memory: ${peak} KiB"

# Two records of `definition` from zeros through a pipe: the last line as given, at most 64 MiB.
two_huge_records() {  # name definition record-bytes last-line
  printf '%s\n' "$2" > "$dir/$1.def"
  head -c $((2 * $3)) /dev/zero |
    /usr/bin/time -f %M -o "$dir/peak_kib" "$csv" -d "$dir/$1.def" - > "$dir/$1.csv"
  [ "$(tail -n 1 "$dir/$1.csv")" = "$4" ] || fail "$1: last line $(tail -n 1 "$dir/$1.csv")"
  peak_within_64_mib "$1"
}
# Records far larger than a chunk are read through once, keeping only what their cells show.
two_huge_records huge 'struct Huge { ubyte a; string s [268435456]; ubyte b; }' 268435458 \
  $'1,10000002,0,,0\r'
# A String of no bytes after a huge pad shows nothing either way: it needs no record in memory.
two_huge_records tail 'struct Tail { ubyte a; void pad [268435455]; string end [0]; }' 268435456 \
  $'1,10000000,0,\r'

printf 'struct Small { ubyte b; }\n' > "$dir/small.def"
# A slice of a pipe reads past the records before it, where a file would seek.
head -c 1000 /dev/urandom > "$dir/small.bin"
from_file=$("$csv" -d "$dir/small.def" --records 990:5 "$dir/small.bin")
from_pipe=$(cat "$dir/small.bin" | "$csv" -d "$dir/small.def" --records 990:5 -)
[ "$from_pipe" = "$from_file" ] && [ "$(echo "$from_pipe" | wc -l)" -eq 5 ] || fail "pipe slice"
set +o pipefail
"$csv" -d "$dir/small.def" - < /dev/zero 2> "$dir/err" | head -c 100 > /dev/null
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || fail "closed pipe: status $status"
[ ! -s "$dir/err" ] || fail "closed pipe: $(cat "$dir/err")"
echo "ok"
