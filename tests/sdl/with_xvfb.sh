#!/bin/sh
# Runs one test program on a private Xvfb screen of 1024x768x24 and passes on its exit status.
# Xvfb picks a free display number itself (-displayfd), so parallel runs do not collide.
# -noreset: otherwise the server resets whenever its last client leaves, and a client that
# connects during the reset is refused (about 1 in 30 on a loaded machine).
set -u
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$dir"' EXIT

# The number appears once the server accepts connections.
tries=0
while [ ! -s "$dir/display" ]; do
  if ! kill -0 "$xvfb" 2>/dev/null || [ "$tries" -ge 200 ]; then
    echo "with_xvfb.sh: Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done

DISPLAY=":$(head -n 1 "$dir/display")"
SDL_VIDEODRIVER=x11
export DISPLAY SDL_VIDEODRIVER
"$@"
status=$?
exit "$status"
