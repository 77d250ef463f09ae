#!/usr/bin/env bash
# Runs the unit tests once under valgrind memcheck: no errors and no definitely lost bytes.
# The long-running cases (many frames, random streams, the soak, the reference pictures) run under
# the sanitizers instead: under valgrind the software rasterizer is too slow for them.
#   Usage: run_valgrind.sh BUILD_DIR
set -euo pipefail
build=$1
supp=$(dirname "$0")/valgrind.supp
skip='*EachSpinFrame*:*TenMillion*:*RandomStreams*'
status=0
for test in "$build"/tests/*_test; do
  case $(basename "$test") in soak_test|property_test|snapshot_test|reference_test) continue ;; esac
  if valgrind -q --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
       --keep-debuginfo=yes --suppressions="$supp" \
       "$test" --gtest_filter="-$skip" --gtest_brief=1 >"$build/valgrind-$(basename "$test").log" 2>&1; then
    echo "valgrind: $(basename "$test") clean"
  else
    echo "valgrind: $(basename "$test") FAILED (see $build/valgrind-$(basename "$test").log)"
    tail -40 "$build/valgrind-$(basename "$test").log"
    status=1
  fi
done
exit $status
