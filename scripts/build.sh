#!/usr/bin/env bash
# Installs what is missing, then configures and builds every preset:
# native (Linux), windows-x64 (run under wine64 by the tests) and windows-x86
# (the shipped plug-in). Build folders: build/<preset>.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
for preset in native windows-x64 windows-x86; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" | grep -E 'error|warning|Built target tamrek' || true
  test "${PIPESTATUS[0]}" -eq 0
done
