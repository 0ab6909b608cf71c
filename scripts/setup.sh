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
  openbox x11-utils xdotool
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Root installs directly, a desktop user through sudo; without either the
# user is told what to install and nothing is built.
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    as_root=()
  elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them as root, then run this command again:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
cmake -S "$root" -B "$build" "$@"
cmake --build "$build" -j "$(nproc)"
