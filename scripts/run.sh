#!/usr/bin/env bash
# Builds Korvana and runs it from its build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANA_TESTS=OFF

cd "$build"
exec ./korvana
