# shellcheck shell=bash
# The page's driver of the end-to-end scenarios (tests/e2e/scenarios.sh describes the interface):
# E2E_PROGRAM is the page's directory, served on 127.0.0.1 and opened in headless chromium by
# page_driver.mjs, which this driver asks over HTTP. HELICOID_PAGE_DEVICE chooses the device:
# "desktop" (1024x768, a mouse; the default) or "phone" (390x844 at 3 device pixels a CSS pixel,
# touch only). Window ids are "box" and "viewer"; the screen is the viewport, and where the page
# scales the window down to keep it in sight, the screen the window stands on.
#
# What a page cannot have, as src/platform/web/web_win32.h documents: a title bar (the window's
# title is nowhere to be seen) and a close button.

WEB_DRIVER_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# An upright phone's viewport is too narrow for a window of 80% of its height: the window's side is
# what fits beside x = 50, and the drag's points move into it. The conditions: the phone turned,
# then in a small window (200x150); a desktop browser's window made smaller (560x520).
# shellcheck disable=SC2034 # read by scenarios.sh, which sources this file
if [ "${HELICOID_PAGE_DEVICE:-desktop}" = phone ]; then
  EXPECTED_SCREEN='390x844'
  EXPECTED_WINDOW='50 50 340 340'
  WINDOW_SIZE='340x340'
  TRACKBALL_PATH=('press 100 170' 'move 160 60' 'move 250 170' 'move 100 170' 'release 100 170')
  E2E_CONDITIONS=('turned' 'small window')
else
  E2E_CONDITIONS=('smaller window')
fi
# The conditions run the program a third time: the watchdog, below CTest's 420 s, has more room.
# shellcheck disable=SC2034 # read by scenarios.sh
WATCHDOG_S=400

# page COMMAND [ARG...]: the helper's answer on stdout; status 1 with its error on stderr.
page() {
  local answer
  answer=$(printf '%s\n' "${@:2}" | curl -sS --max-time 60 --data-binary @- \
    -w '\n%{http_code}' "http://127.0.0.1:$WEB_DRIVER_PORT/$1") || return 1
  [ "${answer##*$'\n'}" = 200 ] || { echo "page driver: $1: ${answer%$'\n'*}" >&2; return 1; }
  answer=${answer%$'\n'*}
  [ -z "$answer" ] || printf '%s\n' "$answer"
}

driver_setup() {
  local deadline
  command -v curl >/dev/null || { echo "web driver: curl is missing" >&2; return 1; }
  rm -f "$E2E_WORK/page-driver.port"
  node "$WEB_DRIVER_DIR/page_driver.mjs" "$E2E_PROGRAM" "$E2E_WORK/page-driver.port" \
    "${HELICOID_PAGE_DEVICE:-desktop}" >"$E2E_WORK/page-driver.log" 2>&1 &
  WEB_DRIVER_PID=$!
  deadline=$(($(date +%s%N) + 30000000000))
  until [ -s "$E2E_WORK/page-driver.port" ]; do
    if ! kill -0 "$WEB_DRIVER_PID" 2>/dev/null || [ "$(date +%s%N)" -gt "$deadline" ]; then
      cat "$E2E_WORK/page-driver.log" >&2
      return 1
    fi
    sleep 0.1
  done
  WEB_DRIVER_PORT=$(cat "$E2E_WORK/page-driver.port")
}

driver_start() { page start; }
driver_shown_windows() { page windows; }
driver_box_text() { page box_text; }
driver_viewer_window_exists() { [ "$(page exists)" = true ]; }
driver_dismiss_box() { page dismiss; }
driver_client_geometry() { page geometry "$1"; }
driver_window_geometry() { page geometry "$1"; }
driver_screen_size() { page screen; }
driver_grab() { page grab "$@"; }
driver_keys() { page keys "${@:2}"; }
driver_pointer() { page "$@"; }
driver_steal_focus() { page steal_focus; }
driver_end_steal() { page end_steal; }
driver_cpu_ms() { page cpu_ms; }
driver_own_checks() { page own_checks; }
driver_condition() { page condition "$1"; }

driver_window_name() {
  if [ "$1" = box ]; then
    page caption
  else
    echo "a page shows no title bar"
    return 2
  fi
}

driver_request_close() {
  echo "a page has no close button (closing the tab ends the program without a message)"
  return 2
}

driver_minimize() {
  echo "a page has no minimize button (its tab can be hidden, which this driver does not do)"
  return 2
}
driver_restore() { return 2; }

driver_wait_exit() {
  local code
  code=$(page exit_code "$1") || { echo timeout; return 1; }
  echo "$code"
}

driver_stop() {
  [ -n "${WEB_DRIVER_PID:-}" ] || return 0
  local errors
  errors=$(page errors)
  [ -z "$errors" ] || { echo "      the page's console errors:"; sed 's/^/        /' <<<"$errors"; }
  page stop >/dev/null 2>&1 || kill "$WEB_DRIVER_PID" 2>/dev/null
  wait "$WEB_DRIVER_PID" 2>/dev/null
}
