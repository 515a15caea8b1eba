#!/bin/sh
# Fails when the program exports a function or variable of its own other than the ones
# plug-ins use. Versioned symbols are the toolkit's (copy relocations), and weak ones
# are template code the shared libraries also define: the dynamic linker needs both.
set -eu
program="$1"
allowed="__VirUvazo_GetCurrentLanguage"
symbols=$(nm -D --defined-only "$program" | awk '$2 ~ /^[TDBR]$/ && $3 !~ /@/ { print $3 }' | sort -u)
for name in $allowed; do
  echo "$symbols" | grep -qx "$name" || { echo "missing export: $name"; exit 1; }
done
# A sanitized build's program carries variables of the sanitizers' runtime.
extra=$(echo "$symbols" | grep -vx -e "$allowed" -e '_edata' -e '_end' -e '__bss_start' -e '_IO_stdin_used' |
  grep -vE '^__(asan|ubsan|lsan|sanitizer)_' || true)
if [ -n "$extra" ]; then
  echo "$(echo "$extra" | wc -l) unexpected exports, first ones:"
  echo "$extra" | head -20
  exit 1
fi
echo "exports: $allowed"
