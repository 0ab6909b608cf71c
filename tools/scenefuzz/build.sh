#!/usr/bin/env bash
# Builds the scene fuzzer (OBJ and MTL readers, then the shadow-volume
# geometry of what loaded) with Debian's clang and libFuzzer in a CMake
# build folder of its own, apart from the main (gcc) build:
#   tools/scenefuzz/build.sh [OUT_DIR]        (default build-fuzz)
# SANITIZE picks the sanitizers besides the fuzzer (default
# address,undefined); SANITIZE=undefined runs about twice as fast.
# How to run it: README.md, "Fuzzing the scene reader".
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
sanitize=${SANITIZE:-address,undefined}
command -v clang++ >/dev/null || { echo "clang++ missing: apt-get install clang libclang-rt-14-dev" >&2; exit 1; }
# Asserts stay on: the fuzzer is there to trip them.
CC=clang CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-g -O1" \
  -DCMAKE_C_FLAGS="-g -O1" -DKORVANA_TESTS=OFF -DKORVANA_FUZZ="$sanitize" >/dev/null
cmake --build "$out" --target scenefuzz -j "$(nproc)"
echo "$out/scenefuzz"
