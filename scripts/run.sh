#!/usr/bin/env bash
# Builds Korvana and runs it from its build folder. Where no X display can
# be used (DISPLAY unset or not answering), it starts a virtual display
# instead, writes a snapshot of every shadow mode there and prints where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANA_TESTS=OFF

cd "$build"
if [ -n "${DISPLAY:-}" ] && ./korvana-snapshot --probe 2>/dev/null; then
  exec ./korvana
fi

echo "No usable X display: writing snapshots on a virtual display instead."
source "$root/scripts/virtual-display.sh"
start_xvfb
mkdir -p "$build/snapshots"
names=(none projected volumes mapping)
for mode in 0 1 2 3; do
  ./korvana-snapshot --mode "$mode" --output "$build/snapshots/mode-$mode-${names[$mode]}.png" >/dev/null
done
echo "Snapshots of every shadow mode:"
ls -1 "$build"/snapshots/mode-*.png
