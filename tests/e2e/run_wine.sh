#!/usr/bin/env bash
# The end-to-end scenarios against the Windows build, under Wine on Xvfb (CTest's e2e_wine runs it
# on the .exe of the unpacked zip, through tests/package/zip_under_wine.sh).
#
#   run_wine.sh HELICOID_EXE SNAPSHOT_TOOL WORK_DIR
#
# Exit code 77 (skipped) when HELICOID_EXE is empty: no Windows program was named at configure time.
if [ $# -ne 3 ]; then
  echo "usage: $0 HELICOID_EXE SNAPSHOT_TOOL WORK_DIR" >&2
  exit 2
fi
if [ -z "$1" ]; then
  echo "SKIPPED: no Windows program named (configure with -DHELICOID_WINDOWS_PROGRAM=helicoid.exe)"
  exit 77
fi
if [ ! -f "$1" ]; then
  echo "$1 is missing (cmake --preset mingw && cmake --build --preset mingw)" >&2
  exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/scenarios.sh" "$here/wine/driver.sh" "$1" "$2" "$3"
