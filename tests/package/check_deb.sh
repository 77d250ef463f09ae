#!/usr/bin/env bash
# Builds the Debian package of BUILD_DIR with CPack, as `--target package` does, and lets lintian
# judge it: no error and no warning (each tag that may stay is an informational one). The
# dependencies must have come from dpkg-shlibdeps, with libgl1 added for what SDL opens itself.
#
#   check_deb.sh BUILD_DIR VERSION WORK_DIR
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 BUILD_DIR VERSION WORK_DIR" >&2
  exit 2
fi
build=$1 version=$2 work=$3
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(find "$work" -maxdepth 1 -name "helicoid_${version}_*.deb")
[ -n "$deb" ] || fail "no helicoid_${version}_*.deb in $work"

depends=$(dpkg-deb -f "$deb" Depends)
# libSDL2's package and a versioned libc are what dpkg-shlibdeps writes; a hand-kept list rarely
# has the version.
[[ $depends == *"libsdl2-2.0-0 (>="* && $depends == *"libc6 (>="* && $depends == *libgl1* ]] ||
  fail "Depends is '$depends'"
echo "Depends: $depends"
# The start-up box's font, and on Wayland the window's title bar.
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ $recommends == *xfonts-base* && $recommends == *libdecor-0-plugin-1-cairo* ]] ||
  fail "Recommends is '$recommends'"

# lintian warns on stderr when run as root (as CI is); its verdict is its output and exit code.
lintian --fail-on error,warning -I "$deb" 2>/dev/null | tee "$work/lintian.log" ||
  fail "lintian reports errors or warnings"
echo "lintian: $(grep -c '^I: ' "$work/lintian.log" || true) informational tags, no error or warning"
