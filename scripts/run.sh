#!/usr/bin/env bash
# The main job: the gateway answers a scripted session of real requests on
# the default site fixture, printing each reply.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVL_BENCH=OFF >/dev/null
cmake --build build-release --target soa-gateway vlcore >/dev/null
exec build-release/soa-gateway --script site/main_job.script
