# shellcheck shell=bash
# The Wine driver of the end-to-end scenarios (tests/e2e/scenarios.sh describes the interface):
# helicoid.exe under Wine on a private Xvfb display, through wine_env.sh. What X11 cannot tell
# (a message box's text, which window is the viewer's, the client rectangle, where the close
# button is) comes from window_list.c, a small Win32 program run in the same Wine session.

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../x_display.sh"

WINE_DRIVER_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The viewer registers this window class; message boxes are dialogs of class #32770.
WINE_DRIVER_VIEWER_CLASS=OpenGL
WINE_DRIVER_BOX_CLASS='#32770'

driver_setup() {
  local tool missing=()
  for tool in Xvfb xdotool xwininfo xmessage flock x86_64-w64-mingw32-gcc; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  command -v wine >/dev/null || [ -x /usr/lib/wine/wine64 ] || missing+=(wine)
  # The .exe exists (run_wine.sh skips otherwise), so a missing tool is a broken setup, not a
  # platform where the test cannot run.
  if [ ${#missing[@]} -gt 0 ]; then
    echo "wine driver: missing ${missing[*]} (scripts/install-deps.sh installs them)" >&2
    return 1
  fi
  wine_env_init "$E2E_WORK" || return 1
  WINE_DRIVER_READY=1
  WINE_DRIVER_LISTER="$E2E_WORK/window-list.exe"
  if [ ! -f "$WINE_DRIVER_LISTER" ] || [ "$WINE_DRIVER_SOURCE_DIR/window_list.c" -nt "$WINE_DRIVER_LISTER" ]; then
    x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -static -o "$WINE_DRIVER_LISTER" \
      "$WINE_DRIVER_SOURCE_DIR/window_list.c" || return 1
  fi
  # A run that was killed from outside leaves its wineserver (bound to a display that is about
  # to go) and its Xvfb behind.
  wine_server_stop
  local stale
  stale=$(cat "$WINE_ENV_STATE/xvfb.pid" 2>/dev/null)
  if [ -n "$stale" ] && [ "$(cat "/proc/$stale/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$stale"
  fi
  wine_xvfb_start || return 1
  echo "$WINE_XVFB_PID" >"$WINE_ENV_STATE/xvfb.pid"
  wine_prefix_ensure
}

driver_start() {
  wine_run "$E2E_PROGRAM"
}

# Wine names the X windows of a program after its executable (WM_CLASS); its hidden IME windows
# are never mapped.
driver_shown_windows() {
  xdotool search --onlyvisible --classname "^$(basename "$E2E_PROGRAM" | sed 's/[.]/[.]/g')\$" 2>/dev/null || true
}

# Every top-level window as USER32 sees it (window_list.c documents the fields), without the
# carriage returns of Wine's console output.
wine_driver_list() {
  "$WINE_ENV_WINE" "$WINE_DRIVER_LISTER" "$@" 2>/dev/null | tr -d '\r'
}

# wine_driver_top_line WIN [LISTER_ARGS]: the lister's line for the shown top-level window that is
# X window WIN, matched by title and outer rectangle.
wine_driver_top_line() {
  local win=$1 name geometry
  shift
  name=$(xdotool getwindowname "$win") || return 1
  geometry=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x "," y "," w "," h}')
  wine_driver_list "$@" | NAME=$name RECT=$geometry awk -F'\t' \
    '$1 == "top" && $3 == 1 && $8 == ENVIRON["NAME"] && $5 == ENVIRON["RECT"] {print; exit}'
}

driver_box_text() {
  local line hwnd
  line=$(wine_driver_top_line "$1") || return 1
  [ "$(cut -f4 <<<"$line")" = "$WINE_DRIVER_BOX_CLASS" ] || {
    echo "wine driver: window $1 is not a message box" >&2
    return 1
  }
  hwnd=$(cut -f2 <<<"$line")
  # The box's children are its icon (an empty Static), its buttons and the text (a Static).
  wine_driver_list | HWND=$hwnd awk -F'\t' \
    '$1 == "child" && $3 == ENVIRON["HWND"] && $4 == "Static" && $5 != "" {print $5; found=1; exit}
     END {exit !found}'
}

driver_viewer_window_exists() {
  wine_driver_list | CLASS=$WINE_DRIVER_VIEWER_CLASS awk -F'\t' \
    '$1 == "top" && $4 == ENVIRON["CLASS"] {found=1} END {exit !found}'
}

driver_dismiss_box() {
  wine_keys "$1" Return && wine_wait_window_gone "$1"
}

driver_client_geometry() {
  local line
  line=$(wine_driver_top_line "$1") || return 1
  [ -n "$line" ] || { echo "wine driver: USER32 does not know window $1" >&2; return 1; }
  cut -f6 <<<"$line" | tr ',' ' '
}

# The user's close request is a click on the close button that Wine draws in the caption.
driver_request_close() {
  local line x y w h
  line=$(wine_driver_top_line "$1" --close-button) || return 1
  read -r x y w h < <(cut -f7 <<<"$line" | tr ',' ' ')
  if [ -z "$w" ] || [ "$w" -le 0 ] || [ "$h" -le 0 ]; then
    echo "wine driver: window $1 has no close button" >&2
    return 1
  fi
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# The minimize button and the taskbar's restore are WM_SYSCOMMAND messages, sent to the window's
# handle, which stays while its X window goes (kept in a file: the scenarios call the driver in
# subshells); a restored window gets WM_PAINT.
driver_minimize() {
  local line
  line=$(wine_driver_top_line "$1") && [ -n "$line" ] || return 1
  cut -f2 <<<"$line" >"$E2E_WORK/minimized" && wine_driver_list --minimize "$(cat "$E2E_WORK/minimized")"
}
driver_restore() { wine_driver_list --restore "$(cat "$E2E_WORK/minimized")"; }

driver_wait_exit() {
  wine_wait_exit "$1"
  local status=$?
  echo "$WINE_APP_RC"
  return $status
}

# The Windows process itself: Wine's own helpers (wineserver, winedevice) wake on their own timers
# and are not the program's CPU time.
driver_pid() {
  [ -n "${WINE_APP_PID:-}" ] && echo "$WINE_APP_PID"
}

driver_stop() {
  # Before setup, WINEPREFIX may still be the user's own: leave it alone.
  [ -n "${WINE_DRIVER_READY:-}" ] || return 0
  if [ -n "${WINE_APP_PID:-}" ] && kill -0 "$WINE_APP_PID" 2>/dev/null; then
    kill "$WINE_APP_PID" 2>/dev/null
  fi
  wine_env_stop
  rm -f "$WINE_ENV_STATE/xvfb.pid"
}
