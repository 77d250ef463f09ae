#!/usr/bin/env bash
# The native viewer where the display falls short (CTest's e2e_native_x_server_trouble).
# - No box can open: the X server has no fonts (Xvfb without font packages), or no room for the
#   box's own client (all its client slots but the two SDL takes are held). The caption and text
#   must reach stderr with the reason, the window must follow, and Escape must end the program
#   with exit code 0: a full server is not a lost one.
# - The display lost at any moment, as a sweep: the X server killed at delays from the start and
#   from Return on the box (while the window and its GL context are made), under the box, and
#   while the model spins (killed, shut down, or killing the viewer's connection as xkill does);
#   weston killed at delays from the start and shut down while the model spins. Each time the
#   viewer must end with exit code 1 and one line on stderr naming the display (besides the box's
#   lines on Wayland, where there is no zenity): never a signal, a hang or a success.
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
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/../../support/weston.sh"

rm -rf "$work" && mkdir -p "$work/no-fonts" || exit 1
pid='' holder=''
trap '[ -z "$pid" ] || kill -9 "$pid" 2>/dev/null; kill $holder "${WESTON_PID:-}" "${XVFB_PID:-}" 2>/dev/null; wait' EXIT
failed=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else
    echo "FAILED: $1"
    failed=1
  fi
}
# run NAME [ENV_ARG...]: the viewer, stderr in $work/NAME.stderr.
run() {
  env "${@:2}" "$program" 2>"$work/$1.stderr" </dev/null &
  pid=$!
}
# start NAME [XVFB_ARG...]: a new X server and the viewer on it.
start() {
  xvfb_start "$work" "${@:2}" || exit 1
  run "$1" SDL_VIDEODRIVER=x11
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
# await_line FILE TEXT: until FILE has a line with TEXT, or the viewer ends.
await_line() {
  until grep -qF -- "$2" "$1" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.02
  done
}
# await_exit: the viewer's exit code and how long it took from $started, once it ends; after
# 20 s (a hang) it is killed, 137.
await_exit() {
  local deadline=$(($(date +%s%N) + 20000000000))
  # Its stderr and not bash's word on the servers killed meanwhile.
  while kill -0 "$pid" && [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.02; done 2>/dev/null
  kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  wait "$pid" 2>/dev/null
  rc=$?
  took=$((($(date +%s%N) - started) / 1000000))
  pid=
}
stop_servers() {
  kill $holder "${WESTON_PID:-}" "$XVFB_PID" 2>/dev/null
  wait $holder "${WESTON_PID:-}" "$XVFB_PID" 2>/dev/null
  holder='' WESTON_PID=''
}
viewer=$(basename "$program")

for why in no-fonts no-room; do
  if [ $why = no-fonts ]; then
    start $why -fp "$work/no-fonts"
    reason='no font'
  else
    xvfb_start "$work" -maxclients 64 || exit 1
    "$x_windows" hold 2 >"$work/held" 2>/dev/null &
    holder=$!
    until [ -s "$work/held" ]; do sleep 0.02; done
    run $why SDL_VIDEODRIVER=x11
    # The window is looked for with a client of the test's own, once the slots are free again.
    await_line "$work/$why.stderr" "(the box counts as dismissed with OK)" && kill $holder
    reason='refused the box.s connection'
  fi
  check "$why: the viewer's window is shown" await_window "$viewer"
  check "$why: the error line says why" grep -q "^helicoid: MessageBoxA: .*$reason" "$work/$why.stderr"
  check "$why: the box's caption is on stderr" grep -Fxq \
    "helicoid: the box's caption: soft by Veldrane - helicoid-viewer@example.org " "$work/$why.stderr"
  check "$why: the box's text is on stderr" grep -Fxq \
    "helicoid: the box's text:  mouse: touch the window image for movement----- " "$work/$why.stderr"
  [ -z "$window" ] || xdotool windowfocus --sync "$window" key Escape
  started=$(date +%s%N)
  await_exit
  check "$why: Escape ends the viewer with exit code 0 (got $rc)" test "$rc" -eq 0
  stop_servers
done

# reported_once STDERR: exit code 1 and one line naming the display, lost or never opened.
# shellcheck disable=SC2317 # called through check
reported_once() {
  [ "$rc" -eq 1 ] && [ "$(grep -c . <<<"$1")" -eq 1 ] &&
    [[ $1 == 'helicoid: lost the connection to the display "'* ||
      $1 == 'helicoid: cannot open display "'* ]]
}
# One run of the sweep: PROTOCOL WHEN DELAY_S HOW, where WHEN is start (from the program's
# start), return (from Return on the box), box (the box shown) or spinning (a drag released away
# from its press), and HOW is kill, term or xkill.
lose() {
  local protocol=$1 when=$2 delay=$3 how=$4 name="$1-$2-$3-$4" said
  if [ "$protocol" = wayland ]; then
    xvfb_start "$work" || exit 1
    weston_start "$work" || exit 1
    run "$name" -u DISPLAY SDL_VIDEODRIVER=wayland
    server=$WESTON_PID
  elif [ "$when" = spinning ]; then
    start "$name" -fp "$work/no-fonts"
    server=$XVFB_PID
  else
    start "$name"
    server=$XVFB_PID
  fi
  case $when in
  box) await_window '' ;;
  return) await_window '' && xdotool windowfocus --sync "$window" key Return ;;
  spinning) await_window "$viewer" &&
    xdotool windowfocus --sync "$window" mousemove --window "$window" 300 300 mousedown 1 \
      mousemove --window "$window" 340 320 mouseup 1 ;;
  esac
  sleep "$delay"
  started=$(date +%s%N)
  case $how in
  kill) kill -9 "$server" ;;
  term) kill -TERM "$server" ;;
  xkill) xdotool windowkill "$window" ;;
  esac
  await_exit
  # The box's own lines (Wayland has no box but stderr) are not the report.
  said=$(grep -v "^helicoid: \(MessageBoxA: \|the box's \|(the box counts\)" "$work/$name.stderr")
  check "$name: exit code $rc after $took ms, $(grep -c . <<<"$said") line(s): $said" \
    reported_once "$said"
  stop_servers
}
for delay in 0.01 0.03 0.06 0.1 0.2; do lose x11 start $delay kill; done
for delay in 0.005 0.02 0.05 0.1 0.2 0.4; do lose x11 return $delay kill; done
lose x11 box 0.5 kill
for how in kill term xkill; do lose x11 spinning 0.5 $how; done
for delay in 0.05 0.3 3; do lose wayland start $delay kill; done
lose wayland start 3 term

if [ "$failed" -ne 0 ]; then
  for log in "$work"/*.stderr; do
    echo "$(basename "$log"):"
    sed 's/^/  /' "$log"
  done
fi
exit "$failed"
