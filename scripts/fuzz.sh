#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), one after
# the other, on a copy of its seed corpus fuzz/corpus/<target>:
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# New inputs go to build/fuzz/corpus/<target>, crash, leak and time-out inputs
# to build/fuzz/crashes/, each run's log to build/fuzz/logs/<target>.log; the
# repository's corpora are never written. Prints per target the executions,
# the time and whether it crashed; the status is 1 when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(plugmain memory_stream text_helpers cookie_scan codepage riddle_pattern)

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 | grep -E 'error|warning' || true
test "${PIPESTATUS[0]}" -eq 0

build=$root/build/fuzz
mkdir -p "$build/corpus" "$build/crashes" "$build/logs"
failed=0
printf '%-16s %12s %8s  %s\n' target executions seconds result
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  work=$build/logs/$target
  mkdir -p "$corpus" "$work"
  cp "$root/fuzz/corpus/$target"/* "$corpus/"
  rm -f "$build/crashes/$target"-* "$work"/fuzz-*.log
  started=$(date +%s)
  # One job, one worker: the machine is shared. The job's output lands in
  # fuzz-0.log of its working folder.
  status=0
  (cd "$work" && "$build/bin/${target}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -jobs=1 -workers=1 -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" \
    >/dev/null 2>&1) || status=$?
  elapsed=$(($(date +%s) - started))
  mv "$work/fuzz-0.log" "$build/logs/$target.log"
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$target.log" |
    grep -o '[0-9]*$' | tail -1)
  found=$(find "$build/crashes" -name "$target-*" | wc -l)
  if [ "$status" -ne 0 ] || [ "$found" -gt 0 ]; then
    result="CRASHED ($found file(s) in build/fuzz/crashes, log build/fuzz/logs/$target.log)"
    failed=1
  else
    result=clean
  fi
  printf '%-16s %12s %8s  %s\n' "$target" "${executions:-?}" "$elapsed" "$result"
done
exit $failed
