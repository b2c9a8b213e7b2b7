#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset "fuzz") and runs each for a bounded time on a working
# copy of its seed corpus in the build folder; fails on the first finding.
#   bash scripts/fuzz.sh [seconds-per-harness]     (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-15}
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [seconds-per-harness]" >&2; exit 2; }
harnesses=(record_table_fuzz store_cell_fuzz csv_import_fuzz export_paths_fuzz)
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

summary=()
for harness in "${harnesses[@]}"; do
  # The committed seeds stay as they are; what a run learns stays in the build folder.
  corpus=$build/corpus/$harness
  findings=$build/findings/$harness
  log=$build/logs/$harness.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  cp -n fuzz/corpus/"$harness"/* "$corpus"/

  echo "--- $harness: $seconds s"
  status=0
  "$build/fuzz/$harness" "$corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "FAILED: $harness found a problem (exit $status); input in $findings/, log $log" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  [ -n "$runs" ] || { tail -n 20 "$log"; echo "FAILED: no statistics from $harness" >&2; exit 1; }
  summary+=("$(printf '%-24s %10s exec/s %12s executions' "$harness" "$rate" "$runs")")
done

echo
echo "Fuzzing, $seconds s per harness: no findings"
printf '%s\n' "${summary[@]}"
