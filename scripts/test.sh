#!/usr/bin/env bash
# Builds Korvana with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test, the GL ones on a virtual X display; the desktop ones run once
# more on displays managed by the openbox window manager. Before the tests,
# the scene fuzzer (build-fuzz, clang) runs for a minute over its corpus and
# the Release benchmarks (build-release) run once each, so that neither
# stops building unnoticed; ctest's summary is the last line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-tests

bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVANA_SANITIZE=ON -DKORVANA_TESTS=ON

source "$root/scripts/virtual-display.sh"
start_xvfb
start_xorg_dummy
start_desktops

bash "$root/scripts/check-fuzzer.sh" "$root/build-fuzz" 60
bash "$root/scripts/check-benchmarks.sh" "$root/build-release"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure -j "$(nproc)"
