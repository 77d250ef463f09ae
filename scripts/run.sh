#!/usr/bin/env bash
# The run command: installs what is missing, builds the native program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --preset release -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset release --target helicoid >/dev/null
exec build/release/helicoid
