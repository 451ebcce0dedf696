#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/ (leaks fail)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build; flags=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan; flags=(-DVL_SANITIZE=ON -DVL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
fi
cmake -S . -B "$dir" -G Ninja -DVL_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -- -k 0
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
