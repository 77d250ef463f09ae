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
  # the native program
  libsdl2-dev desktop-file-utils
  # end-to-end tests: a virtual X server, input, screenshots and picture comparison
  xvfb xdotool x11-utils imagemagick
  # the Windows program under Wine; Wine loads the X and GL libraries at run time, so they are
  # named here rather than left to its recommendations
  wine wine64 fonts-wine libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
  libxrender1 libxxf86vm1
  # fuzzing and memory checking
  clang libclang-rt-14-dev valgrind
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
