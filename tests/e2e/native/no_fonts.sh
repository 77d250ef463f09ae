#!/usr/bin/env bash
# The native viewer on an X server without fonts (CTest's e2e_native_no_fonts), as Xvfb is when
# no font package is installed: SDL's message box cannot open there, so its caption and text must
# reach stderr, the window must follow, and Escape must end the program with exit code 0.
#
#   no_fonts.sh HELICOID X_WINDOWS WORK_DIR
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
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; kill "${XVFB_PID:-}" 2>/dev/null; wait' EXIT
failed=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else
    echo "FAILED: $1"
    failed=1
  fi
}

xvfb_start "$work" -fp "$work/no-fonts" || exit 1
export SDL_VIDEODRIVER=x11
"$program" 2>"$work/stderr" </dev/null &
pid=$!

viewer_window() {
  "$x_windows" list | CLASS=$(basename "$program") awk -F'\t' \
    '$2 == 1 && $3 == ENVIRON["CLASS"] {print $1; exit}'
}
window=
for _ in $(seq 300); do
  window=$(viewer_window)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
check "the viewer's window is shown" test -n "$window"
check "the error line names the missing font" grep -q '^helicoid: MessageBoxA: .*no font' "$work/stderr"
check "the box's caption is on stderr" grep -Fxq \
  "helicoid: the box's caption: soft by Veldrane - helicoid-viewer@example.org " "$work/stderr"
check "the box's text is on stderr" grep -Fxq \
  "helicoid: the box's text:  mouse: touch the window image for movement----- " "$work/stderr"
if [ -n "$window" ]; then
  xdotool windowfocus --sync "$window" key Escape
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
fi
kill -0 "$pid" 2>/dev/null && kill "$pid"
wait "$pid"
rc=$?
pid=
check "Escape ends the viewer with exit code 0 (got $rc)" test "$rc" -eq 0
if [ "$failed" -ne 0 ]; then
  echo "the viewer's stderr:"
  sed 's/^/  /' "$work/stderr"
fi
exit "$failed"
