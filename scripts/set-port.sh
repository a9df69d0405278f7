#!/usr/bin/env bash
# set-port.sh SYSINI N PATH: makes COMN open PATH (key comN in section [ports]).
# Every other line of the file stays as it is.
set -euo pipefail
ini=$1 n=$2 path=$3
[ -f "$ini" ] || printf '' >"$ini"
tmp=$(mktemp)
awk -v key="com$n" -v val="$path" '
  function flush() { if (inports && !done) { print key "=" val "\r"; done = 1 } }
  {
    line = $0; sub(/\r$/, "", line)
    if (line ~ /^[ \t]*\[/) { flush(); inports = (tolower(line) ~ /^[ \t]*\[ports\]/) }
    else if (inports && tolower(line) ~ "^[ \t]*" key "[ \t]*=") { if (!done) print key "=" val "\r"; done = 1; next }
    print
  }
  END { flush(); if (!done) { print "[ports]\r"; print key "=" val "\r" } }
' "$ini" >"$tmp"
mv "$tmp" "$ini"
