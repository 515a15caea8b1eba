#!/usr/bin/env bash
# Runs the benchmarks of the test command again and again on two cores while the machine
# is busy: a process writes and deletes large files with fsync, and two busy loops run on
# other cores. Prints, per bound, its figures, the worst against its limit and their
# spread; exits non-zero when a run failed, a worst figure is above two thirds of its limit
# or the figures of one bound lie more than 2.5x apart. Those two rules are for the
# ratios of times (unit x); a memory bound (bytes, per cent) need only hold.
# Usage: bench/under_load.sh [build folder, default out] [runs, default 5] [cores, default 0,1]
# BENCHES="grid_bench list_bench" runs only those of the list.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-out}
runs=${2:-5}
cores=${3:-0,1}
log=$(mktemp -d /tmp/hv-under-load-XXXXXX)
ncpu=$(nproc)
other() { echo $(( ($1) % ncpu )); }
pids=()
# The writer and the busy loops stay off the benchmarks' cores where the machine has more.
last=${cores##*,}
load_cpus="$(other $((last + 1))),$(other $((last + 2))),$(other $((last + 3)))"
# The writer ends its dd and removes the file when it is ended: 256 MB left behind by each
# run would fill the disk.
taskset -c "$load_cpus" bash -c "trap 'kill \$dd 2>/dev/null; rm -f \"$log/big\"; exit' TERM
  while :; do dd if=/dev/zero of='$log/big' bs=1M count=256 conv=fsync status=none & dd=\$!; wait \$dd; rm -f '$log/big'; done" &
pids+=($!)
for c in $(other $((last + 2))) $(other $((last + 3))); do
  taskset -c "$c" bash -c 'while :; do :; done' &
  pids+=($!)
done
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -f "$log/big"' EXIT

status=0
for run in $(seq 1 "$runs"); do
  while read -r name args; do
    case "$name" in ''|'#'*) continue ;; esac
    if [ -n "${BENCHES:-}" ] && [[ " $BENCHES " != *" $name "* ]]; then continue; fi
    # shellcheck disable=SC2086
    if ! taskset -c "$cores" "$out/bench/$name" $args </dev/null >"$log/$name.$run.log" 2>&1; then
      echo "run $run: $name FAIL (log $log/$name.$run.log)"
      status=1
    fi
    grep '^bound: ' "$log/$name.$run.log" | sed "s/^/$name /" >>"$log/bounds.txt"
  done <"$here/in_test_command.txt"
  echo "run $run done"
done

python3 - "$log/bounds.txt" <<'PY' || status=1
import re, sys
figures, limits, units = {}, {}, {}
for line in open(sys.argv[1], encoding="utf-8"):
    m = re.match(r"(\S+) bound: (.*) = ([-0-9.e]+) ?(\S*) \(limit ([0-9.]+)", line)
    if not m:
        continue
    key = m.group(1) + ": " + m.group(2)
    figures.setdefault(key, []).append(float(m.group(3)))
    units[key] = m.group(4)
    limits[key] = float(m.group(5))
bad = 0
for key, fs in figures.items():
    worst, lo = max(fs), min(fs)
    spread = worst / lo if lo > 0 else float("inf")
    if units[key] == "x":
        ok = worst <= limits[key] * 2 / 3 and spread <= 2.5
    else:
        ok = worst <= limits[key]
    bad += not ok
    print(f"{'ok  ' if ok else 'BAD '}{key}: {' '.join(f'{f:.3g}' for f in fs)}  worst {worst / limits[key]:.2f} of the limit, spread {spread:.2f}x")
sys.exit(1 if bad else 0)
PY
echo "logs in $log"
exit $status
