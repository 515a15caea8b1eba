#!/bin/sh
# Runs the benchmarks of the speed bounds in one go and prints each bound with PASS or
# FAIL: restore and backup against unzip and zip, the delete of 100,000 data points and
# the expansion of 10,000 children, and the idle program after a copy of 100,000 rows.
# Usage: bench/run_bounds.sh [build folder, default out]
out=${1:-out}
status=0
"$out/bench/backup_bench" --benchmark_format=console 2>&1 | grep -E "PASS|FAIL|threads used|not measured" || status=1
"$out/bench/bulk_edit_bench" | grep -E "PASS|FAIL" || status=1
xvfb-run -a "$out/bench/clipboard_idle_bench" | grep -E "PASS|FAIL" || status=1
exit $status
