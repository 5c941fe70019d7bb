#!/usr/bin/env bash
# The main command: installs what is missing, builds everything, leaves the
# shipped 32-bit plug-in in dist/, serves the bundled riddle site on loopback
# and plays a round through tamrek-host on the Linux plug-in built for it.
#   scripts/play.sh                 play a scripted round
#   scripts/play.sh --interactive   type the chat messages yourself
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

mkdir -p dist
cp build/windows-x86/bin/tamrek.cqp.dll dist/tamrek.cqp.dll
echo "== shipped plug-in: dist/tamrek.cqp.dll (asks the riddle site at $(sed -n 's/^RIDDLE_SITE_HOST:STRING=//p' build/windows-x86/CMakeCache.txt))"

port=$(sed -n 's/^TAMREK_LOCAL_SITE_PORT:STRING=//p' build/native/CMakeCache.txt)
exec {server_output}< <(exec python3 site/serve.py --folder build/native/site --port "$port")
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true' EXIT
read -r -u "$server_output" served_line || { echo "cannot serve the riddle site on port $port" >&2; exit 1; }
echo "== $served_line"

host=build/native/bin/tamrek-host
plugin=build/native/bin/local-site/tamrek.cqp.so
if [ "${1:-}" = "--interactive" ]; then
  echo "== type chat messages (@急转弯, @答 ..., @显示答案, @显示题目); Ctrl-D ends"
  "$host" "$plugin"
  exit
fi
echo "== a round of the game"
python3 scripts/play_round.py "$host" "$plugin" build/native/site/bank.tsv
