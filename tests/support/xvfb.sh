# shellcheck shell=bash
# Starts a private Xvfb for tests and benchmarks; source it from bash.
#
#   xvfb_start DIR [ARG...]   starts Xvfb at 1024x768x24 on a free display, with any further
#                             Xvfb arguments, logging to DIR/xvfb.log; sets XVFB_PID and
#                             exports DISPLAY once the server accepts clients
#
# Xvfb picks the display number itself and writes it to -displayfd when it is ready, so parallel
# runs never collide. -noreset: otherwise the server resets whenever its last client leaves, and a
# client that connects during the reset is refused (about 1 in 30 on a loaded machine).
xvfb_start() {
  local dir=$1 num=''
  shift
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" 3>"$dir/display" \
    >"$dir/xvfb.log" 2>&1 </dev/null &
  XVFB_PID=$!
  for _ in $(seq 200); do
    num=$(tr -dc 0-9 <"$dir/display")
    [ -n "$num" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$num" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    kill "$XVFB_PID" 2>/dev/null
    return 1
  fi
  export DISPLAY=":$num"
}
