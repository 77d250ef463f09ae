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
  # SDL's X11 message box draws with X core fonts; without one the start-up box cannot open
  xfonts-base
)
test_packages=(
  libgtest-dev desktop-file-utils
  # the Windows cross build
  g++-mingw-w64-x86-64
  # end-to-end tests: a virtual X server, input, screenshots and picture comparison
  xvfb xdotool x11-utils imagemagick
  # the native program on Wayland: weston on its X11 backend inside the private Xvfb, and the
  # libdecor plugin that draws the window's title bar there (never zenity: SDL would use it for
  # the start-up box on X11 too)
  weston libdecor-0-plugin-1-cairo
  # the Windows program under Wine; Wine loads the X and GL libraries at run time, so they are
  # named here rather than left to its recommendations
  wine wine64 fonts-wine libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
  libxrender1 libxxf86vm1
  # fuzzing and memory checking (the sanitizer runtime is added below, named after clang's version)
  clang valgrind
  # the formatting check
  clang-format
  # packages: dpkg-shlibdeps for the .deb's dependencies, then lintian, the AppStream validator,
  # wrestool and xmllint for the .exe's resources, unzip for the Windows zip
  dpkg-dev lintian appstream icoutils libxml2-utils unzip
)

# The page: Emscripten (no ports: they download), chromium for its end-to-end tests and curl for
# their driver's questions to it. Node.js and npm come from Debian unless a Node.js with its own
# npm is installed already.
web_packages=(emscripten chromium curl)
command -v node >/dev/null || web_packages+=(nodejs)
command -v npm >/dev/null || web_packages+=(npm)

case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  web) packages=("${web_packages[@]}") ;;
  *) packages=("${run_packages[@]}" "${test_packages[@]}" "${web_packages[@]}") ;;
esac

# The fuzzer and sanitizer runtimes come in a package versioned like the compiler that `clang`
# depends on (14 on Debian 12, 19 on Debian 13). Empty while apt knows no clang yet.
clang_runtime() {
  local depends
  depends=$(dpkg-query -W -f='${Depends}' clang 2>/dev/null ||
    apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: //p')
  sed -n 's/^\(.*[ ,]\)\{0,1\}clang-\([0-9][0-9]*\)\([ ,(].*\)\{0,1\}$/libclang-rt-\2-dev/p' \
    <<<"$depends" | head -n 1
}

missing_of() {
  local p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || echo "$p"
  done
}

runtime=
if [ "${1:-all}" != run ]; then
  runtime=$(clang_runtime)
  [ -z "$runtime" ] || packages+=("$runtime")
fi
mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -eq 0 ] && { [ "${1:-all}" = run ] || [ -n "$runtime" ]; }; then exit 0; fi

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
echo "Updating the package lists"
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
if [ "${1:-all}" != run ] && [ -z "$runtime" ]; then
  runtime=$(clang_runtime)
  if [ -z "$runtime" ]; then
    echo "install-deps.sh: apt knows no clang-N that the clang package depends on" >&2
    exit 1
  fi
  missing+=("$runtime")
fi
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
