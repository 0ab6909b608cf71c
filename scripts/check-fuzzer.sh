#!/usr/bin/env bash
# Builds the scene fuzzer with clang (tools/scenefuzz/build.sh) and runs it
# for a bounded time over the tracked corpus with the dictionary; any
# finding fails the command and is kept in BUILD_DIR/findings. New inputs go
# to a temporary folder, so the tracked corpus stays as it is.
#   scripts/check-fuzzer.sh BUILD_DIR [SECONDS]     (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-60}

bash "$root/tools/scenefuzz/build.sh" "$build"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/findings"
echo "Fuzzing the scene reader and volumes for $seconds s over tests/scene/data/fuzz-corpus"
if ! "$build/scenefuzz" -dict="$root/tools/scenefuzz/wavefront.dict" -max_len=4096 -timeout=10 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/findings/" \
    "$work/corpus" "$root/tests/scene/data/fuzz-corpus" >"$work/fuzz.log" 2>&1; then
  tail -n 60 "$work/fuzz.log" >&2
  mkdir -p "$build/findings"
  cp "$work"/findings/* "$build/findings/" 2>/dev/null || true
  echo "The scene fuzzer stopped on a finding; inputs in $build/findings" >&2
  exit 1
fi
grep -E '^(Done|stat::)|DONE ' "$work/fuzz.log"
echo "Scene fuzzer: no finding"
