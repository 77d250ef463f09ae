#!/usr/bin/env bash
# Reads the manifest and the version record back out of the Windows program, as Windows would
# find them: the manifest is well-formed XML that declares per-monitor DPI awareness, the
# supported systems and Common Controls 6; the version record carries the project's version in
# its fixed part and its strings.
#
#   check_windows_resources.sh HELICOID_EXE VERSION WORK_DIR
#
# Exit code 77 (skipped) when the .exe has not been built (the mingw preset makes it).
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 HELICOID_EXE VERSION WORK_DIR" >&2
  exit 2
fi
exe=$1 version=$2 work=$3
if [ ! -f "$exe" ]; then
  echo "skipped: $exe is missing (cmake --preset mingw && cmake --build --preset mingw)"
  exit 77
fi
mkdir -p "$work"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# ---- manifest: RT_MANIFEST (24), resource 1, the one the loader reads at process start
# wrestool exits 0 also when it finds nothing.
wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest.xml"
[ -s "$work/manifest.xml" ] || fail "no manifest resource 1"
xmllint --noout "$work/manifest.xml" || fail "the manifest is not well-formed XML"
xpath() { xmllint --xpath "$1" "$work/manifest.xml" 2>/dev/null || true; }
[ "$(xpath "string(//*[local-name()='dpiAware'])")" = true/pm ] ||
  fail "dpiAware is not true/pm"
awareness=$(xpath "string(//*[local-name()='dpiAwareness'])")
[ "${awareness%%,*}" = PerMonitorV2 ] || fail "dpiAwareness is '$awareness', not PerMonitorV2 first"
[ "$(xpath "count(//*[local-name()='supportedOS'][@Id='{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'])")" = 1 ] ||
  fail "Windows 10 and 11 are not among the supported systems"
[ "$(xpath "string(//*[local-name()='assemblyIdentity'][@name='Microsoft.Windows.Common-Controls']/@version)")" = 6.0.0.0 ] ||
  fail "no dependency on Common Controls 6"
echo "manifest: well-formed, DPI awareness '$awareness', supported OS, Common Controls 6"

# ---- version record: RT_VERSION (16), resource 1
wrestool -x --raw --type=16 --name=1 "$exe" >"$work/version.bin"
[ -s "$work/version.bin" ] || fail "no version resource 1"
# VS_FIXEDFILEINFO follows its signature 0xFEEF04BD: the structure version, then the file
# version as two little-endian words, major << 16 | minor and patch << 16 | build.
IFS=. read -r major minor patch <<<"$version"
fixed=$(od -An -v -tx1 "$work/version.bin" | tr -d ' \n' |
  sed -n 's/^\(\(..\)*\)bd04effe........\(................\).*/\3/p')
expected=$(printf '%02x%02x%02x%02x%02x%02x%02x%02x' $((minor & 255)) $((minor >> 8)) \
  $((major & 255)) $((major >> 8)) 0 0 $((patch & 255)) $((patch >> 8)))
[ "$fixed" = "$expected" ] || fail "fixed file version bytes '$fixed', expected '$expected' for $version"
strings -el "$work/version.bin" >"$work/version.txt"
for key in FileVersion ProductVersion; do
  grep -A1 -x "$key" "$work/version.txt" | tail -n 1 | grep -qx "$version" ||
    fail "$key is not $version: $(tr '\n' ' ' <"$work/version.txt")"
done
for key in ProductName FileDescription LegalCopyright; do
  grep -qx "$key" "$work/version.txt" || fail "no $key in the version record"
done
echo "version record: $version in the fixed part and in FileVersion and ProductVersion"
