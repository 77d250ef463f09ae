#!/usr/bin/env bash
# Runs one test program on a private Xvfb screen of 1024x768x24 and passes on its exit status.
set -u
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
dir=$(mktemp -d)
trap 'kill "${XVFB_PID:-}" 2>/dev/null; wait "${XVFB_PID:-}" 2>/dev/null; rm -rf "$dir"' EXIT
xvfb_start "$dir" || exit 1
export SDL_VIDEODRIVER=x11
"$@"
