#!/usr/bin/env bash
# The native viewer where the X server falls short (CTest's e2e_native_x_server_trouble).
# - No fonts, as Xvfb is when no font package is installed: SDL's message box cannot open, so its
#   caption and text must reach stderr, the window must follow, and Escape must end the program
#   with exit code 0.
# - The display lost: while the model spins the server is killed, shut down, or kills the viewer's
#   connection (as xkill does), and a server with fonts is killed under the start-up box. Each
#   time the viewer must end within 3 s, with a non-zero exit code and one line on stderr.
#
#   x_server_trouble.sh HELICOID X_WINDOWS WORK_DIR
set -u
if [ $# -ne 3 ]; then
  echo "usage: $0 HELICOID X_WINDOWS WORK_DIR" >&2
  exit 2
fi
program=$1 x_windows=$2 work=$3
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/../../support/xvfb.sh"

rm -rf "$work" && mkdir -p "$work/no-fonts" || exit 1
pid=
trap '[ -z "$pid" ] || kill -9 "$pid" 2>/dev/null; kill "${XVFB_PID:-}" 2>/dev/null; wait' EXIT
export SDL_VIDEODRIVER=x11
failed=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else
    echo "FAILED: $1"
    failed=1
  fi
}
# start NAME [XVFB_ARG...]: a new server and the viewer on it, stderr in $work/NAME.stderr.
start() {
  xvfb_start "$work" "${@:2}" || exit 1
  "$program" 2>"$work/$1.stderr" </dev/null &
  pid=$!
}
# await_window CLASS: the first shown top-level window of that class (the box has none).
await_window() {
  window=
  for _ in $(seq 300); do
    window=$("$x_windows" list | CLASS=$1 awk -F'\t' '$2 == 1 && $3 == ENVIRON["CLASS"] {print $1; exit}')
    [ -n "$window" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# await_exit: the viewer's exit code, once it ends or after 3 s (then 137).
await_exit() {
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  wait "$pid"
  rc=$?
  pid=
}
stop_server() {
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
}
viewer=$(basename "$program")

start no-fonts -fp "$work/no-fonts"
check "no fonts: the viewer's window is shown" await_window "$viewer"
check "no fonts: the error line names the missing font" grep -q '^helicoid: MessageBoxA: .*no font' \
  "$work/no-fonts.stderr"
check "no fonts: the box's caption is on stderr" grep -Fxq \
  "helicoid: the box's caption: soft by Veldrane - helicoid-viewer@example.org " "$work/no-fonts.stderr"
check "no fonts: the box's text is on stderr" grep -Fxq \
  "helicoid: the box's text:  mouse: touch the window image for movement----- " "$work/no-fonts.stderr"
[ -z "$window" ] || xdotool windowfocus --sync "$window" key Escape
await_exit
check "no fonts: Escape ends the viewer with exit code 0 (got $rc)" test "$rc" -eq 0
stop_server

for way in server-killed server-shut-down connection-killed box-up; do
  if [ "$way" = box-up ]; then
    start "$way" && await_window ''
  else
    # A drag released away from its press leaves the model spinning: frames back to back.
    start "$way" -fp "$work/no-fonts" && await_window "$viewer" &&
      xdotool windowfocus --sync "$window" mousemove --window "$window" 300 300 mousedown 1 \
        mousemove --window "$window" 340 320 mouseup 1
  fi
  sleep 0.5
  lines_before=$(wc -l <"$work/$way.stderr")
  started=$(date +%s%N)
  case $way in
  server-killed | box-up) kill -9 "$XVFB_PID" ;;
  server-shut-down) kill -TERM "$XVFB_PID" ;;
  connection-killed) xdotool windowkill "$window" ;;
  esac
  await_exit
  said=$(tail -n +"$((lines_before + 1))" "$work/$way.stderr")
  check "$way: exit code $rc after $((($(date +%s%N) - started) / 1000000)) ms, and one line: $said" \
    test -n "$window" -a "$rc" -ne 0 -a "$rc" -lt 128 -a "$(printf '%s\n' "$said" | wc -l)" -eq 1 \
    -a "${said#helicoid: lost the connection to the display}" != "$said"
  stop_server
done
if [ "$failed" -ne 0 ]; then
  for log in "$work"/*.stderr; do
    echo "$(basename "$log"):"
    sed 's/^/  /' "$log"
  done
fi
exit "$failed"
