# shellcheck shell=bash
# Starts weston on its X11 backend inside the X display that DISPLAY names (xvfb.sh starts one):
# a Wayland compositor with a seat, for the native program on Wayland; source it from bash.
#
#   weston_start DIR   a 1024x768 output without a panel, its runtime folder DIR/runtime (0700),
#                      logging to DIR/weston.log, its scene graph open to weston-debug; sets
#                      WESTON_PID and WESTON_WINDOW (its X window) and exports XDG_RUNTIME_DIR and
#                      WAYLAND_DISPLAY once it has made its socket and its window
weston_start() {
  local dir=$1
  rm -rf "$dir/runtime" && mkdir -m 700 "$dir/runtime" || return 1
  printf '[core]\nidle-time=0\n[shell]\npanel-position=none\n' >"$dir/weston.ini"
  XDG_RUNTIME_DIR="$dir/runtime" weston --backend=x11-backend.so --socket=wayland-test \
    --width=1024 --height=768 --use-pixman --debug --config="$dir/weston.ini" \
    --log="$dir/weston.log" >/dev/null 2>&1 </dev/null &
  WESTON_PID=$!
  WESTON_WINDOW=
  for _ in $(seq 400); do
    WESTON_WINDOW=$(sed -n 's/.*x11 output .*, window id \([0-9]*\).*/\1/p' "$dir/weston.log" 2>/dev/null)
    [ -n "$WESTON_WINDOW" ] && [ -S "$dir/runtime/wayland-test" ] && break
    kill -0 "$WESTON_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$WESTON_WINDOW" ] || [ ! -S "$dir/runtime/wayland-test" ]; then
    echo "weston did not start:" >&2
    cat "$dir/weston.log" >&2
    kill "$WESTON_PID" 2>/dev/null
    return 1
  fi
  export XDG_RUNTIME_DIR="$dir/runtime" WAYLAND_DISPLAY=wayland-test
}
