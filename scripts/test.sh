#!/usr/bin/env bash
# The test command: installs what is missing, builds the native and the Windows program and the
# page, and runs every test through CTest; then the build that draws through our OpenGL 1.1 subset
# with its own tests, the unit suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the message-stream fuzzer for a minute beside the unit tests once under valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
step() { printf '\n== %s (%d s so far)\n' "$1" $((SECONDS - start)); }

step "dependencies"
scripts/install-deps.sh

step "native, Windows and web builds"
cmake --preset debug -DHELICOID_WERROR=ON -DHELICOID_REQUIRE_CHECK_TOOLS=ON \
  -DHELICOID_WINDOWS_PROGRAM="$PWD/build/mingw/helicoid.exe" >/dev/null
cmake --build --preset debug
cmake --preset mingw -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset mingw
cmake --preset web -DHELICOID_WERROR=ON >/dev/null
scripts/web.sh build

step "every test"
ctest --preset debug -j2 | tee build/debug/ctest.log

step "the OpenGL 1.1 subset over ES 2.0: its tests, pictures against fixed function, end to end"
cmake --preset subset -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset subset
ctest --preset subset -j2 | tee build/subset/ctest.log
tests/e2e/matrix.sh # the end-to-end scenarios by platform, from the two CTest runs above

step "unit tests under the sanitizers"
cmake --preset asan -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset asan
# The GL driver keeps allocations for the process's life and is unloaded before LeakSanitizer
# looks, so it cannot be told apart; leaks are judged by the valgrind run below.
ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -j2 -E '^(e2e_|soak_test)' | tee build/asan/ctest.log

step "fuzzing the window procedure for a minute, beside the unit tests under valgrind"
cmake --preset fuzz -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset fuzz
tests/stream/run_fuzz.sh build/fuzz/tests/helicoid_fuzz 60 build/fuzz/run >build/fuzz/run.log 2>&1 &
fuzz=$!
valgrind_status=0
tests/run_valgrind.sh build/debug || valgrind_status=$?
fuzz_status=0
wait "$fuzz" || fuzz_status=$?
cat build/fuzz/run.log
[ "$valgrind_status" -eq 0 ] && [ "$fuzz_status" -eq 0 ]

step "done"
# One closing line for both CTest runs (a failure above has already ended the script).
total=$(cat build/debug/ctest.log build/subset/ctest.log build/asan/ctest.log | sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' |
  awk '{ n += $1 } END { print n }')
echo "tests: $total passed, 0 failed"
