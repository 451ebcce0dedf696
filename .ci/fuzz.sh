#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build dir and runs each for
# a bounded time from the seed corpus. Exit 0: no crash found; non-zero: a
# crash (its input is left as crash-* in the build dir), or a build failure.
#   VL_FUZZ_TIME   seconds to fuzz each target (default 60)
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
ninja -C "$build" fuzz_wire fuzz_requests

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# fuzz TARGET SEEDS: runs one target; its progress goes to a log that only a
# failure shows. New inputs go to a scratch corpus, so the seeds in the tree
# stay as they are.
fuzz() {
  local target=$1 seeds=$2 scratch log
  scratch=$(mktemp -d)
  log="$build/$target.log"
  if "$build/$target" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/xml.dict" -artifact_prefix="$build/$target-" -print_final_stats=1 \
    "$scratch" "$seeds" >"$log" 2>&1; then
    echo "fuzz $target: no crash in ${seconds}s ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs)"
    rm -rf "$scratch"
  else
    tail -n 60 "$log"
    echo "fuzz $target: failure; the input is in $build/$target-crash-*"
    rm -rf "$scratch"
    exit 1
  fi
}

fuzz fuzz_wire "$root/fuzz/corpus"
fuzz fuzz_requests "$root/fuzz/requests"
