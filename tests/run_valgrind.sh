#!/usr/bin/env bash
# Runs the unit tests once under valgrind memcheck: no errors and no definitely lost bytes.
# The long-running cases (many frames, random streams, the soak, the reference pictures) run under
# the sanitizers instead: under valgrind the software rasterizer is too slow for them.
# Valgrind runs a program's threads one at a time, so each binary's tests are split into one share
# a core (GoogleTest's sharding) and the shares run side by side.
#   Usage: run_valgrind.sh BUILD_DIR
set -euo pipefail
build=$1
supp=$(dirname "$0")/valgrind.supp
shares=$(nproc)

share() {
  local test=$1 index=$2 log
  log="$build/valgrind-$(basename "$test")-$index.log"
  if GTEST_TOTAL_SHARDS=$shares GTEST_SHARD_INDEX=$index \
     valgrind -q --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
       --keep-debuginfo=yes --suppressions="$supp" \
       "$test" --gtest_filter='-*EachSpinFrame*:*TenMillion*:*RandomStreams*' --gtest_brief=1 \
       >"$log" 2>&1; then
    echo "valgrind: $(basename "$test") share $((index + 1)) of $shares clean"
  else
    echo "valgrind: $(basename "$test") share $((index + 1)) of $shares FAILED (see $log)"
    tail -40 "$log"
    return 1
  fi
}
export -f share
export build supp shares

# shellcheck disable=SC2016 # the arguments are expanded by the bash that xargs starts
for test in "$build"/tests/*_test; do
  case $(basename "$test") in soak_test|property_test|snapshot_test|reference_test) continue ;; esac
  for ((index = 0; index < shares; index++)); do printf '%s\0%s\0' "$test" "$index"; done
done | xargs -0 -n 2 -P "$shares" bash -c 'share "$1" "$2"' share
