#!/usr/bin/env bash
# Installs the Debian packages Korvana needs (only those missing), then
# configures and builds one build folder.
#   scripts/setup.sh BUILD_DIR [cmake options...]
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglew-dev
  libconfig++-dev liblog4cxx-dev libx11-dev libxrandr-dev
  libimgui-dev libstb-dev fonts-dejavu-core
  libgtest-dev xvfb xauth xserver-xorg-core xserver-xorg-video-dummy
  libbenchmark-dev libtinyobjloader-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
cmake -S "$root" -B "$build" "$@"
cmake --build "$build" -j "$(nproc)"
