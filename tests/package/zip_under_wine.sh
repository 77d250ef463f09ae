#!/usr/bin/env bash
# Builds the Windows zip of the mingw build with CPack, as `--target package` does, checks that it
# holds one folder with the program, README.txt and LICENSE.txt, unpacks it where the path has a
# space (as under "Program Files"), and runs the end-to-end scenarios on the .exe found there:
# CTest's e2e_wine, the Wine column of the scenarios.
#
#   zip_under_wine.sh MINGW_BUILD_DIR VERSION SNAPSHOT_TOOL WORK_DIR
#
# Exit code 77 (skipped) when no mingw build is named or it has not been made.
set -euo pipefail
if [ $# -ne 4 ]; then
  echo "usage: $0 MINGW_BUILD_DIR VERSION SNAPSHOT_TOOL WORK_DIR" >&2
  exit 2
fi
build=$1 version=$2 snapshot=$3 work=$4
if [ -z "$build" ]; then
  echo "SKIPPED: no Windows program named (configure with -DHELICOID_WINDOWS_PROGRAM=helicoid.exe)"
  exit 77
fi
if [ ! -f "$build/helicoid.exe" ] || [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "skipped: $build/helicoid.exe is missing (cmake --preset mingw && cmake --build --preset mingw)"
  exit 77
fi
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
mkdir -p "$work"
rm -rf "$work/packages" "$work/unpacked here"
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
folder=helicoid-$version-win64
zip=$work/packages/$folder.zip
[ -f "$zip" ] || fail "no $folder.zip: $(ls "$work/packages")"

listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
[ "$listing" = "$folder/LICENSE.txt $folder/README.txt $folder/helicoid.exe " ] ||
  fail "the zip holds: $listing"
echo "zip: $listing"

unzip -q "$zip" -d "$work/unpacked here"
exec bash "$(dirname "$0")/../e2e/run_wine.sh" "$work/unpacked here/$folder/helicoid.exe" \
  "$snapshot" "$work"
