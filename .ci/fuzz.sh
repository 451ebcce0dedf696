#!/usr/bin/env bash
# Builds the libFuzzer target with clang in its own build dir and runs it for
# a bounded time from the seed corpus. Exit 0: no crash found; non-zero: a
# crash (its input is left as crash-* in the build dir), or a build failure.
#   VL_FUZZ_TIME   seconds to fuzz (default 60)
#   VL_FUZZ_BUILD  build dir (default build-fuzz beside the sources)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VL_FUZZ_BUILD:-$root/build-fuzz}
seconds=${VL_FUZZ_TIME:-60}

"$root/scripts/setup.sh" --fuzz
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVL_FUZZ=ON -DVL_BENCH=OFF >"$build/configure.log" 2>&1 || {
  cat "$build/configure.log"
  exit 1
}
ninja -C "$build" fuzz_wire

# New inputs go to a scratch corpus, so the seeds in the tree stay as they are.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The fuzzer's progress goes to a log; only a failure shows it.
log="$build/fuzz.log"
if "$build/fuzz_wire" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -dict="$root/fuzz/xml.dict" -artifact_prefix="$build/" -print_final_stats=1 \
  "$scratch" "$root/fuzz/corpus" >"$log" 2>&1; then
  echo "fuzz: no crash in ${seconds}s ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs)"
else
  tail -n 60 "$log"
  echo "fuzz: failure; the input is in $build/crash-*"
  exit 1
fi
