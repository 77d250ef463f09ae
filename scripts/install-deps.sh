#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Quick and silent when all are there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # OpenGL: Mesa's software rasterizer behind GLVND, EGL for the offscreen context
  libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  # tests and tools
  libgtest-dev libpng-dev
  # the Windows cross build
  g++-mingw-w64-x86-64
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
