#!/usr/bin/env bash
# The test command: installs what is missing, builds the native and the Windows program, and runs
# every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset debug -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset debug
cmake --preset mingw -DHELICOID_WERROR=ON >/dev/null
cmake --build --preset mingw

ctest --preset debug -j2
