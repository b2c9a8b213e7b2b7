#!/usr/bin/env bash
# Installs what is missing, checks the sources' format, builds everything and runs every test:
# the native unit tests, velmora-csv over huge pipes and through LibreOffice Calc, the same tests
# under the sanitizers, the Windows build's tests under Wine (unit and end to end), a bounded run
# of every fuzzer, and the package a user downloads (scripts/package-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)

stage() { printf '\n=== %s ===\n' "$*"; }

stage "every C++ source as clang-format writes it"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

stage "native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"
ctest --preset stress
ctest --preset spreadsheet

stage "sanitizer build and unit tests"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

stage "fuzzing, bounded"
bash scripts/fuzz.sh 15

stage "Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows

stage "the Windows package: reproducible, complete, starts unpacked"
bash scripts/package-test.sh
