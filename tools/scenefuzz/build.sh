#!/usr/bin/env bash
# Builds the scene fuzzer (OBJ and MTL readers, then the shadow-volume
# geometry of what loaded) with Debian's clang and libFuzzer, apart from the
# main (gcc) build:
#   tools/scenefuzz/build.sh [OUT_DIR]        (default build-fuzz)
# SANITIZE picks the sanitizers besides the fuzzer (default
# address,undefined); SANITIZE=undefined runs about twice as fast.
# How to run it: README.md, "Fuzzing the scene reader".
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
sanitize=${SANITIZE:-address,undefined}
command -v clang++ >/dev/null || { echo "clang++ missing: apt-get install clang" >&2; exit 1; }
mkdir -p "$out"
src=$root/src
clang++ -std=c++17 -g -O1 -Wall -Wextra \
  -fsanitize=fuzzer,"$sanitize" -fno-sanitize-recover=undefined \
  -I"$root" -I"$src" $(pkg-config --cflags liblog4cxx glew glu) \
  "$root/tools/scenefuzz/SceneFuzz.cpp" \
  "$src/WavefrontFile.cpp" "$src/Scene.cpp" "$src/SceneMaterials.cpp" "$src/Log.cpp" \
  "$src/ShadowVolumes.cpp" "$src/Geometry.cpp" "$src/Light.cpp" \
  $(pkg-config --libs liblog4cxx glew glu) -o "$out/scenefuzz"
echo "$out/scenefuzz"
