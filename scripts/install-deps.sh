#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; quick and silent when all are
# there. `install-deps.sh run` installs only what building and running the native program needs,
# `install-deps.sh web` only what building the page and its end-to-end tests need.
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  # OpenGL: Mesa behind GLVND (the native program draws through GLX, the tools through EGL)
  libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libsdl2-dev libpng-dev libx11-dev
)
test_packages=(
  libgtest-dev desktop-file-utils
  # the Windows cross build
  g++-mingw-w64-x86-64
  # end-to-end tests: a virtual X server, input, screenshots and picture comparison
  xvfb xdotool x11-utils imagemagick
  # the Windows program under Wine; Wine loads the X and GL libraries at run time, so they are
  # named here rather than left to its recommendations
  wine wine64 fonts-wine libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
  libxrender1 libxxf86vm1
  # fuzzing and memory checking
  clang libclang-rt-14-dev valgrind
  # the formatting check
  clang-format
)

# The page: Emscripten (no ports: they download), and chromium for its end-to-end tests. Node.js
# and npm come from Debian unless a Node.js with its own npm is installed already.
web_packages=(emscripten chromium)
command -v node >/dev/null || web_packages+=(nodejs)
command -v npm >/dev/null || web_packages+=(npm)

case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  web) packages=("${web_packages[@]}") ;;
  *) packages=("${run_packages[@]}" "${test_packages[@]}" "${web_packages[@]}") ;;
esac

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
