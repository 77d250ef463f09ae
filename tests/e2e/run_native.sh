#!/usr/bin/env bash
# The end-to-end scenarios against the native program on Xvfb (CTest's e2e_native).
#
#   run_native.sh HELICOID SNAPSHOT_TOOL X_WINDOWS WORK_DIR
#
# X_WINDOWS is the driver's helper (native/x_windows.c), built by CMake beside the program.
if [ $# -ne 4 ]; then
  echo "usage: $0 HELICOID SNAPSHOT_TOOL X_WINDOWS WORK_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
X_WINDOWS=$(cd "$(dirname "$3")" && pwd)/$(basename "$3") || exit 1
export X_WINDOWS
# Sanitizer builds: libdbus, which SDL opens, keeps one allocation for good; that is not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../sdl/lsan.supp:print_suppressions=0}
exec bash "$here/scenarios.sh" "$here/native/driver.sh" "$1" "$2" "$4"
