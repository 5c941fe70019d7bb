#!/usr/bin/env bash
# The main command: installs what is missing, builds everything, leaves the
# shipped 32-bit plug-in in dist/, and plays the four chat commands through
# tamrek-host on the Linux build of the plug-in.
#   scripts/play.sh                 play a scripted round
#   scripts/play.sh --interactive   type the chat messages yourself
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

mkdir -p dist
cp build/windows-x86/bin/tamrek.cqp.dll dist/tamrek.cqp.dll
echo "== shipped plug-in: dist/tamrek.cqp.dll"

host=build/native/bin/tamrek-host
plugin=build/native/bin/tamrek.cqp.so
if [ "${1:-}" = "--interactive" ]; then
  echo "== type chat messages (@急转弯, @答 ..., @显示答案, @显示题目); Ctrl-D ends"
  exec "$host" "$plugin"
fi
echo "== a round of the game"
printf '%s\n' "@急转弯" "@显示题目" "@答 不知道" "@显示答案" | "$host" "$plugin"
