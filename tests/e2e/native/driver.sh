# shellcheck shell=bash
# The native driver of the end-to-end scenarios (tests/e2e/scenarios.sh describes the interface):
# helicoid on a private Xvfb display, with no window manager. X_WINDOWS (set by run_native.sh) is
# the x_windows helper built from x_windows.c: it lists the top-level windows with their map
# state and class, and sends the close request.
#
# What differs from the Windows program, as the SDL layer's header documents:
# - The top-level X window is the client area (the frame would belong to a window manager), so
#   the outer rectangle and the client area are both 614x614 at (50,50).
# - SDL's message box draws its text itself: it cannot be read back (driver_box_text says so).
# - SDL's message box has no WM_CLASS and labels its title's encoding in a way xdotool's searches
#   do not match, so windows are listed from the root window's children instead of searched for.
#   The display is private: every top-level window on it is the program's.

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../../support/xvfb.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../x_display.sh"

NATIVE_DRIVER_STATE="$E2E_WORK/native-run"

driver_setup() {
  local tool missing=()
  for tool in Xvfb xdotool xwininfo xmessage import convert compare identify; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  # The program exists (CTest built it), so a missing tool is a broken setup, not a platform where
  # the test cannot run.
  if [ ${#missing[@]} -gt 0 ]; then
    echo "native driver: missing ${missing[*]} (scripts/install-deps.sh installs them)" >&2
    return 1
  fi
  if [ -z "${X_WINDOWS:-}" ] || [ ! -x "$X_WINDOWS" ]; then
    echo "native driver: X_WINDOWS must name the built x_windows helper" >&2
    return 1
  fi
  mkdir -p "$NATIVE_DRIVER_STATE" || return 1
  rm -f "$NATIVE_DRIVER_STATE"/app-*
  # A run killed from outside leaves its Xvfb behind.
  local stale
  stale=$(cat "$NATIVE_DRIVER_STATE/xvfb.pid" 2>/dev/null)
  if [ -n "$stale" ] && [ "$(cat "/proc/$stale/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$stale"
  fi
  native_xvfb_start || return 1
  echo "$NATIVE_XVFB_PID" >"$NATIVE_DRIVER_STATE/xvfb.pid"
  # SDL would take a Wayland display from the caller's session if there were one.
  export SDL_VIDEODRIVER=x11
}

native_xvfb_start() {
  xvfb_start "$NATIVE_DRIVER_STATE" || return 1
  NATIVE_XVFB_PID=$XVFB_PID
}

driver_start() { x_display_start "$NATIVE_DRIVER_STATE"; }

native_windows() { "$X_WINDOWS" list; }

driver_shown_windows() {
  native_windows | awk -F'\t' '$2 == 1 {print $1}'
}

driver_box_text() {
  return 2
}

# SDL names the viewer's X window after the executable (WM_CLASS); the message box has no class.
driver_viewer_window_exists() {
  native_windows | CLASS=$(basename "$E2E_PROGRAM") awk -F'\t' \
    '$3 == ENVIRON["CLASS"] {found=1} END {exit !found}'
}

driver_dismiss_box() {
  xdotool windowfocus --sync "$1" && xdotool key Return || return 1
  local deadline
  deadline=$(($(date +%s%N) + 10000000000))
  while native_windows | WIN=$1 awk -F'\t' '$1 == ENVIRON["WIN"] && $2 == 1 {found=1} END {exit !found}'; do
    [ "$(date +%s%N)" -gt "$deadline" ] && return 1
    sleep 0.05
  done
}

driver_client_geometry() { driver_window_geometry "$1"; }

# No window manager: the driver does what one does to minimize a window (unmap it) and to restore
# it (map it again). SDL reports the expose, and the layer repaints the window (WM_PAINT), as
# Windows does.
driver_minimize() { xdotool windowunmap --sync "$1"; }
driver_restore() { xdotool windowmap --sync "$1"; }

driver_request_close() {
  "$X_WINDOWS" close "$1"
}

driver_stop() {
  x_display_stop_program
  if [ -n "${NATIVE_XVFB_PID:-}" ]; then
    kill "$NATIVE_XVFB_PID" 2>/dev/null
    wait "$NATIVE_XVFB_PID" 2>/dev/null
    rm -f "$NATIVE_DRIVER_STATE/xvfb.pid"
  fi
  x_display_program_output "$NATIVE_DRIVER_STATE"
}
