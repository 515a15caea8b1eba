#!/usr/bin/env bash
# Fails when a source outside a ui/ folder includes a wx header that is not part of wxBase
# (or of wxXML, which needs no display either).
set -u
root=${1:-.}
cd "$root" || exit 2
allowed='^wx/(string|arrstr|filename|dir|file|ffile|filefn|datetime|log|utils|strconv|stdpaths|process|thread|snglinst|tokenzr|wfstream|stream|textfile|hashmap|dynlib|wxcrt|init|defs|platinfo|intl|uri|mstream|sstream|txtstrm|buffer|crt|fileconf|confbase|config|regex|stopwatch|timer|cmdline|datstrm|zstream|tarstrm|zipstrm|translation|uilocale|version|scopeguard|vector|fswatcher|apptrait|evtloop|event|sckipc|socket|sckaddr|ipc|wfstream|textbuf|hash|base64|numformatter|mimetype|stackwalk|longlong|math|debug|cpp|chartype|unichar|any|variant|object|list|dynarray|sharedptr|weakref|clntdata|memory|module|encconv|fontenc|msgout|xml/xml)\.h$'
bad=0
while IFS= read -r -d '' f; do
  while IFS= read -r inc; do
    h=$(sed -E 's/.*[<"]([^>"]+)[>"].*/\1/' <<<"$inc")
    if ! grep -qE "$allowed" <<<"$h"; then
      echo "$f: includes GUI header <$h>"; bad=1
    fi
  done < <(grep -E '^\s*#\s*include\s*[<"]wx/' "$f")
done < <(find platform archive framework app model grid resources processdata build -path '*/ui/*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null)
exit $bad
