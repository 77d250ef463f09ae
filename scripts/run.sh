#!/usr/bin/env bash
# The run command: installs what is missing, builds the native program and starts it. Each stage
# says what it does; when everything is in place it starts the program without a word.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run

said=false
if [ ! -f build/release/CMakeCache.txt ]; then
  echo "Configuring the release build (build/release)"
  if ! output=$(cmake --preset release -DBUILD_TESTING=OFF 2>&1); then
    echo "$output" >&2
    exit 1
  fi
  said=true
fi
# ninja's dry run tells whether there is anything to build; the build itself shows its progress.
if ! cmake --build --preset release --target helicoid -- -n 2>/dev/null | grep -q 'no work to do'; then
  echo "Building the viewer"
  cmake --build --preset release --target helicoid
  said=true
fi
if $said; then echo "Starting build/release/helicoid"; fi
exec build/release/helicoid
