#!/usr/bin/env bash
# The soak run: 100,000 plugmain calls through the loaded plug-in file, 1,000
# of them fetching from the bundled site (slow, missing and timing-out pages
# among them). Prints resident memory and the threads left; then the same run
# under AddressSanitizer, whose leak check reports at exit. About 5 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh native asan
echo "== soak, native build"
build/native/bin/tamrek_soak
echo "== soak under AddressSanitizer (leaks are reported at exit and fail the run)"
ASAN_OPTIONS=detect_leaks=1 build/asan/bin/tamrek_soak
echo "== no leak reported"
