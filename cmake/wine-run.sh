#!/usr/bin/env bash
# Runs a Windows test program under wine64 with a prefix of its own inside the
# build folder. The zh_CN.UTF-8 locale gives Wine the ANSI code page 936 that
# every GBK text relies on. A persistent wineserver keeps later starts fast;
# the test script stops it when the run is over.
set -euo pipefail
program=$1
shift
build_dir=$(cd "$(dirname "$program")/.." && pwd)
export WINEPREFIX="${TAMREK_WINEPREFIX:-$build_dir/wineprefix}"
export WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export DISPLAY=
wine_dir=/usr/lib/wine
# The first start creates the prefix (several seconds) and leaves Wine's own
# services running; they must not hold the caller's output open, or a reader
# of this program's output would wait for them to end.
mkdir -p "$WINEPREFIX"
if "$wine_dir/wineserver" -p </dev/null >/dev/null 2>&1; then
  # A new server for this prefix (an old one makes -p fail): start Wine's
  # services now, with nothing of ours to inherit.
  "$wine_dir/wine64" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$wine_dir/wine64" "$program" "$@"
