#!/usr/bin/env bash
# Builds Halvora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVORA_TESTS=OFF -DHALVORA_BENCH=OFF
cmake --build out -j "$(nproc)" --target halvora
exec out/halvora "$@"
