#!/bin/sh
# Runs the benchmarks of the speed bounds in one go and prints each bound with PASS or
# FAIL: restore and backup against unzip and zip, the delete of 100,000 data points and
# the expansion of 10,000 children (in memory and in the real window's tree), and the idle
# program after a copy of 100,000 rows, the re-download of 500 unchanged files to an FTP
# server without MLSD and MFMT that lists in DOS form and to pyftpdlib as it is, and the
# pattern matcher's search at its step budget against one second; and the benchmarks of the
# test command with their comparisons against other work (--peers): the table engine and
# the listing of data points against shapelib's scan, the copy of 100,000 rows against
# writing its payload as a file.
# Usage: bench/run_bounds.sh [build folder, default out]
out=${1:-out}
status=0
# Prints the lines of a benchmark that match the pattern; the benchmark's own exit
# status says whether its bounds held (a FAIL line matches the pattern too).
bound() {
  pattern=$1
  shift
  log=$("$@" 2>&1)
  rc=$?
  printf '%s\n' "$log" | grep -E "$pattern"
  [ $rc -eq 0 ] || { echo "exit status $rc: $*"; status=1; }
}
bound "PASS|FAIL|threads used|not measured|round|small files: backup" "$out/bench/backup_bench" --benchmark_format=console
bound "PASS|FAIL" "$out/bench/bulk_edit_bench"
bound "PASS|FAIL" xvfb-run -a "$out/bench/clipboard_idle_bench"
bound "PASS|FAIL|expand" "$(dirname "$0")/../tools/xvfb-run-test.sh" "$out/bench/tree_expand_bench"
bound "PASS|FAIL|sent" "$out/bench/ftp_plain_bench"
bound "PASS|FAIL" "$out/bench/dbase_bench" --quick --peers
bound "PASS|FAIL|rows: listing" "$out/bench/datapoints_bench" --peers
bound "PASS|FAIL" "$out/bench/large_project_bench" --peers
bound "PASS|FAIL|sent" "$out/bench/ftp_sync_bench" --timed
bound "PASS|FAIL" "$out/bench/regexp_bench" --against-clock
exit $status
