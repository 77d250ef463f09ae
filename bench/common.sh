# shellcheck shell=bash
# What the benchmark scripts share. Sourced from the repository's root.

# build_release PRESET TARGET... [-- PACKAGE...]: the run set of packages (and the whole test set
# when one of PACKAGEs is missing), then a release build of TARGETs without the tests.
build_release() {
  local preset=$1 targets=() p
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do targets+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  scripts/install-deps.sh run
  for p in "$@"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -q installed || scripts/install-deps.sh
  done
  cmake --preset "$preset" -DBUILD_TESTING=OFF >/dev/null
  cmake --build --preset "$preset" --target "${targets[@]}" >/dev/null
}

# raw_lines FILE: the benchmark's own lines, as the last block of its results.
raw_lines() {
  echo
  echo "Raw lines:"
  echo
  echo '```'
  cat "$1"
  echo '```'
}
