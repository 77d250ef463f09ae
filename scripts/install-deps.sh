#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; quick and silent when all are
# there. `install-deps.sh run` installs only what building and running the native program needs.
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  # OpenGL: Mesa behind GLVND (the native program draws through GLX, the tools through EGL)
  libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libsdl2-dev libpng-dev
)
test_packages=(
  libgtest-dev desktop-file-utils
  # the Windows cross build
  g++-mingw-w64-x86-64
  # end-to-end tests: a virtual X server, input, screenshots and picture comparison
  xvfb xdotool x11-utils libx11-dev imagemagick
  # the Windows program under Wine; Wine loads the X and GL libraries at run time, so they are
  # named here rather than left to its recommendations
  wine wine64 fonts-wine libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
  libxrender1 libxxf86vm1
  # fuzzing and memory checking
  clang libclang-rt-14-dev valgrind
  # the formatting check
  clang-format
  # packages: dpkg-shlibdeps for the .deb's dependencies, then lintian, the AppStream validator,
  # wrestool and xmllint for the .exe's resources, unzip for the Windows zip
  dpkg-dev lintian appstream icoutils libxml2-utils unzip
)

packages=("${run_packages[@]}")
[ "${1:-all}" = run ] || packages+=("${test_packages[@]}")

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
