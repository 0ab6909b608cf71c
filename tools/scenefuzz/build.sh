#!/usr/bin/env bash
# Builds the scene reader fuzzer with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, apart from the main (gcc) build:
#   tools/scenefuzz/build.sh [OUT_DIR]        (default build-fuzz)
# Run it on a copy of the seed corpus, for example:
#   mkdir -p build-fuzz/corpus
#   build-fuzz/scenefuzz -dict=tools/scenefuzz/wavefront.dict \
#     -max_total_time=600 build-fuzz/corpus tests/scene/data/fuzz-corpus
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
mkdir -p "$out"
clang++ -std=c++17 -g -O1 -Wall -Wextra \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/src" $(pkg-config --cflags liblog4cxx) \
  "$root/tools/scenefuzz/SceneFuzz.cpp" \
  "$root/src/WavefrontFile.cpp" "$root/src/Scene.cpp" "$root/src/SceneMaterials.cpp" "$root/src/Log.cpp" \
  $(pkg-config --libs liblog4cxx) -o "$out/scenefuzz"
echo "$out/scenefuzz"
