#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset, runs the
# Linux tests natively, the Windows tests under wine64, checks the shipped
# 32-bit plug-in file, and runs the Linux tests again under AddressSanitizer
# with UndefinedBehaviorSanitizer and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=(native windows-x64 windows-x86 asan tsan)
bash scripts/build.sh "${presets[@]}"

export TAMREK_WINEPREFIX="$PWD/build/windows-x64/wineprefix"
stop_wine() { WINEPREFIX="$TAMREK_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT

status=0
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" -j "$(nproc)" || status=1
done
exit $status
