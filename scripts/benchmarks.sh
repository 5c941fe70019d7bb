#!/usr/bin/env bash
# Runs every benchmark of the project (native build) and writes BENCHMARKS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh native
python3 scripts/benchmarks.py build/native/bin BENCHMARKS.md
