#!/usr/bin/env bash
# Runs one test program on a private Xvfb: clipboard, focus and pointer belong to a
# display, and GUI tests sharing one collide under ctest -j.
set -u
tmp=$(mktemp -d)
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null; rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xpid=$!
for _ in $(seq 1 200); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 2
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
"$@"
exit $?
