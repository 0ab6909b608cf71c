#!/usr/bin/env bash
# Builds the benchmarks in a Release folder and runs each once on a small
# input, so that they keep building and running: volumebench on its
# smallest build and its updates, scenebench --check, and the snapshot
# tool's frame timing on the X display in DISPLAY. Fails when one does not
# build, fails or reports an error.
#   scripts/check-benchmarks.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVANA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target volumebench scenebench korvana-snapshot
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Google Benchmark reports a benchmark's own error on its line and still
# ends with status 0.
run_benchmark() {
  echo "Running $*"
  "$@" | tee "$work/out.txt"
  if grep -q "ERROR OCCURRED" "$work/out.txt"; then
    echo "$1 reported an error" >&2
    exit 1
  fi
}
run_benchmark "$build/volumebench" --benchmark_filter='BM_Build/65536$|BM_Update' --benchmark_min_time=0.01
run_benchmark "$build/scenebench" --check
echo "Running korvana-snapshot --frames 5"
"$build/korvana-snapshot" --size 320x240 --frames 5 --output "$work/frames.png"
echo "Benchmarks: all ran"
