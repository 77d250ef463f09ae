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

# counting_setup: the release benchmark built (as $bench), xvfb_start at hand, and a work folder
# ($work) that stays if a step fails, for a look at the runs with callgrind_annotate.
# shellcheck disable=SC2034 # bench and work are for the scripts that source this
counting_setup() {
  build_release release helicoid-bench -- xvfb valgrind
  bench=build/release/bench/helicoid-bench
  # shellcheck source-path=SCRIPTDIR/..
  source tests/support/xvfb.sh
  work=$(mktemp -d)
  trap 'kill "${XVFB_PID:-}" 2>/dev/null || true' EXIT
}

# Counting instructions: rasterising on the calling thread keeps the count to one thread's
# deterministic work; the disk cache would make the JIT's work depend on earlier runs.
export LP_NUM_THREADS=0 MESA_SHADER_CACHE_DISABLE=true

# callgrind OUT [VALGRIND_OPTION...] PROGRAM [ARG...]: PROGRAM under callgrind, its counts in OUT
# and its stderr in OUT.log; prints PROGRAM's last line. --smc-check: llvmpipe writes code into
# anonymous memory and runs it.
callgrind() {
  local out=$1 options=()
  shift
  while [[ $1 == --* ]]; do options+=("$1"); shift; done
  valgrind --tool=callgrind --smc-check=all-non-file "${options[@]}" --callgrind-out-file="$out" \
    "$@" 2>"$out.log" | tail -1
}

# part FILE: the instructions counted in one part of a callgrind run.
part() { awk '/^summary:/ { print $2 }' "$1"; }
