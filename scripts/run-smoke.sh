#!/usr/bin/env bash
# Smoke test of the run command on a private Xvfb, as a newcomer would see it: scripts/run.sh
# installs, builds and starts the viewer; its information box comes first and alone; Return
# dismisses it; the viewer's window shows its first picture; Escape ends it with exit code 0.
# Needs Xvfb, xwininfo, xdotool and ImageMagick (scripts/fresh-check.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source-path=SCRIPTDIR
source tests/support/xvfb.sh

work=$(mktemp -d)
finish() {
  # run.sh ends in exec, so its pid is the viewer's.
  [ ! -s "$work/pid" ] || [ -f "$work/rc" ] || kill "$(cat "$work/pid")" 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; } || true
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "run-smoke: FAILED: $*" >&2
  exit 1
}

# Polls COMMAND every 0.1 s for up to SECONDS; true once it succeeds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    [ ! -f "$work/rc" ] || fail "scripts/run.sh ended early with exit code $(cat "$work/rc")"
    sleep 0.1
  done
}

mapped_windows() {
  local id
  for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
  done
}
one_mapped_window() { [ "$(mapped_windows | wc -l)" -eq 1 ]; }
viewer_window() { xdotool search --onlyvisible --class '^helicoid$' 2>/dev/null | head -n 1; }
viewer_shown() { [ -n "$(viewer_window)" ]; }
# The first picture is drawn once the window holds more than a flat background.
picture_drawn() {
  local colours
  colours=$(import -window "$1" png:- 2>/dev/null | convert png:- -format %k info: 2>/dev/null)
  [ "${colours:-0}" -gt 100 ]
}
exited() { [ -f "$work/rc" ]; }

xvfb_start "$work" || fail "Xvfb did not start"
export SDL_VIDEODRIVER=x11
(
  scripts/run.sh </dev/null &
  echo $! >"$work/pid"
  wait $! && echo 0 >"$work/rc" || echo $? >"$work/rc"
) &

# Installing and building come first: minutes on a new machine.
wait_for 1800 one_mapped_window || fail "no information box appeared"
box=$(mapped_windows)
! viewer_shown || fail "the viewer's window came before the information box"
echo "run-smoke: information box shown ($box)"
xdotool windowfocus --sync "$box" key Return
wait_for 60 viewer_shown || fail "no viewer window after the box was dismissed"
viewer=$(viewer_window)
wait_for 60 picture_drawn "$viewer" || fail "the viewer's window shows no picture"
echo "run-smoke: viewer window with its first picture ($viewer)"
xdotool windowfocus --sync "$viewer" key Escape
wait_for 30 exited || fail "the viewer did not end after Escape"
rc=$(cat "$work/rc")
[ "$rc" -eq 0 ] || fail "exit code $rc after Escape"
echo "run-smoke: Escape ended the viewer with exit code 0"
