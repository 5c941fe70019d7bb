#!/usr/bin/env bash
# Installs what is missing, then configures and builds the given presets, by
# default native (Linux), windows-x64 (run under wine64 by the tests) and
# windows-x86 (the shipped plug-in). Build folders: build/<preset>.
#   scripts/build.sh [PRESET...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native windows-x64 windows-x86)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  log="build/$preset/build.log"
  if ! cmake --build --preset "$preset" -j "$jobs" >"$log" 2>&1; then
    grep -E -A5 'error|warning' "$log" | head -60 >&2
    echo "build of $preset failed; the whole log is $log" >&2
    exit 1
  fi
done
