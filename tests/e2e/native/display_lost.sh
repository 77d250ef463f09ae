#!/usr/bin/env bash
# The native viewer loses its display (CTest's e2e_native_display_lost): while it spins, the X
# server is killed, shut down, or kills the viewer's connection, as xkill does; and the server is
# killed while the start-up box is up. Each time the viewer must end within 3 s with a non-zero
# exit code and one line on stderr. For the spinning viewer the server has no fonts, so the box
# goes to stderr and the window follows at once.
#
#   display_lost.sh HELICOID X_WINDOWS WORK_DIR
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

lose_display() { # WAY WINDOW
  case $1 in
  server-killed | box-up) kill -9 "$XVFB_PID" ;;
  server-shut-down) kill -TERM "$XVFB_PID" ;;
  connection-killed) xdotool windowkill "$2" ;;
  esac
}

for way in server-killed server-shut-down connection-killed box-up; do
  if [ "$way" = box-up ]; then
    xvfb_start "$work" || exit 1
    class=  # the box has none
  else
    xvfb_start "$work" -fp "$work/no-fonts" || exit 1
    class=$(basename "$program")
  fi
  "$program" 2>"$work/$way.stderr" </dev/null &
  pid=$!
  window=
  for _ in $(seq 300); do
    window=$("$x_windows" list | CLASS=$class awk -F'\t' \
      '$2 == 1 && $3 == ENVIRON["CLASS"] {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
  done
  # A drag released away from its press leaves the model spinning: frames back to back.
  [ -n "$window" ] && [ -n "$class" ] && xdotool windowfocus --sync "$window" mousemove --window "$window" 300 300 \
    mousedown 1 mousemove --window "$window" 340 320 mouseup 1
  sleep 0.5
  lines_before=$(wc -l <"$work/$way.stderr")
  start=$(date +%s%N)
  lose_display "$way" "$window"
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "FAILED: $way: the viewer still runs 3 s after losing its display"
    kill -9 "$pid"
    failed=1
  fi
  wait "$pid"
  rc=$?
  pid=
  ms=$((($(date +%s%N) - start) / 1000000))
  said=$(tail -n +"$((lines_before + 1))" "$work/$way.stderr")
  if [ -z "$window" ] || [ "$rc" -eq 0 ] || [ "$rc" -ge 128 ] || [ "$(printf '%s\n' "$said" | wc -l)" -ne 1 ] ||
    ! printf '%s\n' "$said" | grep -q '^helicoid: lost the connection to the display'; then
    echo "FAILED: $way: exit code $rc after $ms ms; stderr after the loss:"
    printf '%s\n' "$said" | sed 's/^/  /'
    failed=1
  else
    echo "ok: $way: exit code $rc after $ms ms: $said"
  fi
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
done
exit "$failed"
