#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: core and GUI tests,
# the benchmarks whose limits are ratios, then the core tests and a sample of the GUI
# tests again under AddressSanitizer and UBSan, the worker-thread tests under
# ThreadSanitizer, then the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVORA_WERROR=ON
cmake --build out -j "$jobs"
ctest --test-dir out --output-on-failure --no-tests=error -j "$jobs"

# The benchmarks whose limits compare our work with our own work of the same kind,
# measured in the same run, with short settings; one that fails stops here. (The speed
# bounds against other tools, the disk or a display run by hand: bench/run_bounds.sh, and
# the grid's paint benchmark.)
while read -r name args; do
  case "$name" in ''|'#'*) continue ;; esac
  echo "== $name $args"
  # shellcheck disable=SC2086
  out/bench/$name $args </dev/null
done <bench/in_test_command.txt

# The core tests under the sanitizers, and a sample of the GUI tests (grid, tree and the
# frame's command routing, clipboard): the sanitized windows and the sample cost about
# two minutes on two cores, where every GUI test would cost far more.
cmake -S . -B out/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHALVORA_WERROR=ON \
  -DHALVORA_SANITIZE=ON -DHALVORA_GUI=ON -DHALVORA_BENCH=OFF \
  -DHALVORA_GUI_TESTS="GridGuiTest;ProjectTreeViewTest;ClipboardGuiTest"
cmake --build out/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir out/asan --output-on-failure --no-tests=error -L core -j "$jobs"
# GTK keeps its caches until the process ends: leaks are looked for in the core tests.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir out/asan --output-on-failure --no-tests=error -L gui -j "$jobs"

# The tests that drive worker threads under ThreadSanitizer: only their three programs
# and what they link are built (no windows, no benchmarks). The programs mostly wait on
# their workers, so they run side by side; a report ends one with status 66 and fails
# the run.
cmake -S . -B out/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVORA_WERROR=ON \
  -DHALVORA_TSAN=ON -DHALVORA_GUI=OFF -DHALVORA_BENCH=OFF
cmake --build out/tsan -j "$jobs" --target test_platform test_archive test_model
tsan_runs=("test_platform Simnet*:Mbtcp*:DataPointXmlLive*"
           "test_archive ZipReader*:ZipWriter*"
           "test_model Backup*:Restore*:OnlineDataPoints*:SimulatedDataPoints*:Autoscan*:ProjectDownload*")
tsan_pids=()
for run in "${tsan_runs[@]}"; do
  read -r program filter <<<"$run"
  out/tsan/tests/"$program" --gtest_filter="$filter" >"out/tsan/$program.log" 2>&1 &
  tsan_pids+=("$!")
done
tsan_status=0
for i in "${!tsan_runs[@]}"; do
  read -r program _ <<<"${tsan_runs[$i]}"
  rc=0
  wait "${tsan_pids[$i]}" || rc=$?
  echo "== ThreadSanitizer: $program (status $rc)"
  if [ "$rc" -ne 0 ]; then
    cat "out/tsan/$program.log"
    tsan_status=1
  fi
done
[ "$tsan_status" -eq 0 ]

if [ -f tests/fuzz/CMakeLists.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B out/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DHALVORA_FUZZ=ON -DHALVORA_GUI=OFF -DHALVORA_BENCH=OFF -DHALVORA_TESTS=ON
  cmake --build out/fuzz -j "$jobs" --target fuzz_all
  # Each target runs for a fixed time on one core: they run side by side.
  ctest --test-dir out/fuzz --output-on-failure -L fuzz -j "$jobs"
fi
