#!/usr/bin/env bash
# Runs the code-page table on both sides (natively and under wine64) and
# prints the lines on which they differ, then their count. Build the native
# and windows-x64 presets first.
set -euo pipefail
cd "$(dirname "$0")/../.."
native=$(mktemp)
windows=$(mktemp)
trap 'rm -f "$native" "$windows"' EXIT
build/native/bin/tamrek-code-page-table >"$native"
bash cmake/wine-run.sh build/windows-x64/bin/tamrek-code-page-table.exe | tr -d '\r' >"$windows"
paste -d'|' "$native" "$windows" | awk -F'|' '$1 != $2 { print "linux: " $1 "   windows: " $2; n++ }
  END { print n + 0 " codes differ" }'
