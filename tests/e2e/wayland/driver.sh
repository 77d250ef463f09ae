# shellcheck shell=bash
# The Wayland driver of the end-to-end scenarios (tests/e2e/scenarios.sh describes the interface):
# helicoid with SDL_VIDEODRIVER=wayland and no DISPLAY, on weston's X11 backend inside a private
# Xvfb (tests/support/weston.sh), so that weston has a seat: keys and the pointer go through
# xdotool into weston's X window, pictures are grabbed from it. Window ids are weston's surface
# ids, and what weston shows comes from its scene graph (weston-debug scene-graph).
#
# What differs from the Windows program:
# - There is no zenity, so the box is SDL's failure and its text on stderr (what a user without
#   zenity sees): the driver reads it from there as window "stderr-box", and it does not wait,
#   so the window follows at once.
# - A Wayland client cannot place its window: weston does (at random), and the title bar is
#   drawn by the client itself (libdecor's plugin), above the 614x614 client area.
# - Minimized windows come back through weston's window switcher (Super+Tab), as weston has no
#   taskbar; the compositor keeps the last frame of a window, so restoring needs no repaint.
# - The focus is weston's: a new window takes it, and a click on the viewer's title bar gives it
#   back.

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../../support/xvfb.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../../support/weston.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../x_display.sh"

WAYLAND_DRIVER_STATE="$E2E_WORK/wayland-run"

driver_setup() {
  local tool missing=()
  for tool in Xvfb weston weston-debug weston-flower xdotool import convert compare identify; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "wayland driver: missing ${missing[*]} (scripts/install-deps.sh installs them)" >&2
    return 1
  fi
  mkdir -p "$WAYLAND_DRIVER_STATE" || return 1
  rm -f "$WAYLAND_DRIVER_STATE"/{app-*,title-bar,focus-stolen}
  xvfb_start "$WAYLAND_DRIVER_STATE" || return 1
  WAYLAND_XVFB_PID=$XVFB_PID
  weston_start "$WAYLAND_DRIVER_STATE" || return 1
  # Without a window manager the X focus follows the pointer; weston's window covers the screen.
  xdotool windowfocus "$WESTON_WINDOW"
  wayland_thief_start
}

# weston draws the pointer into its pictures: it waits where no client area can be.
driver_start() {
  rm -f "$WAYLAND_DRIVER_STATE/box-dismissed"
  xdotool mousemove 1023 0
  x_display_start "$WAYLAND_DRIVER_STATE" -u DISPLAY SDL_VIDEODRIVER=wayland
}

# wayland_views PID: "ROLE ID X Y W H TITLE" of each view of that client weston shows.
wayland_views() {
  weston-debug scene-graph 2>/dev/null | sed -n \
    -e "s/^\s*View [0-9]* (role \([^,]*\), PID \([0-9]*\), surface ID \([0-9]*\), \(top-level window '\(.*\)' of .*\|.*\)$/view\t\1\t\2\t\3\t\5/p" \
    -e 's/^\s*position: (\(-\{0,1\}[0-9]*\), \(-\{0,1\}[0-9]*\)) -> (\(-\{0,1\}[0-9]*\), \(-\{0,1\}[0-9]*\)).*/at\t\1\t\2\t\3\t\4/p' |
    PID=$1 awk -F'\t' '$1 == "view" { keep = $3 == ENVIRON["PID"]; role = $2; id = $4; title = $5 }
      $1 == "at" && keep { print role "\t" id "\t" $2 " " $3 " " $4 - $2 " " $5 - $3 "\t" title; keep = 0 }'
}
wayland_toplevel() { wayland_views "$X_DISPLAY_APP_PID" | awk -F'\t' -v id="$1" '$1 == "xdg_toplevel" && $2 == id'; }

wayland_box_line() { sed -n "s/^helicoid: the box's $1: //p" "$X_DISPLAY_APP_LOG" 2>/dev/null; }

# The box is on stderr until the driver has read it, the window only after.
driver_shown_windows() {
  if [ ! -f "$WAYLAND_DRIVER_STATE/box-dismissed" ]; then
    grep -qF '(the box counts as dismissed with OK)' "$X_DISPLAY_APP_LOG" 2>/dev/null && echo stderr-box
    return 0
  fi
  wayland_views "$X_DISPLAY_APP_PID" | awk -F'\t' '$1 == "xdg_toplevel" {print $2}'
}

driver_box_text() { wayland_box_line text; }

driver_viewer_window_exists() {
  echo "the box is printed on stderr and does not wait: the window follows at once"
  return 2
}

driver_dismiss_box() { touch "$WAYLAND_DRIVER_STATE/box-dismissed"; }

driver_client_geometry() { wayland_toplevel "$1" | cut -f3; }

# Also notes the title bar for driver_own_checks: libdecor's subsurface right above the client
# area, as wide as it.
driver_window_geometry() {
  local client x y w h
  client=$(driver_client_geometry "$1")
  read -r x y w h <<<"$client"
  wayland_views "$X_DISPLAY_APP_PID" | CLIENT=$client awk -F'\t' '
    BEGIN { split(ENVIRON["CLIENT"], c, " ") }
    $1 == "wl_subsurface" { split($3, s, " ")
      if (s[1] == c[1] && s[3] == c[3] && s[2] + s[4] == c[2]) print s[4] }' \
    >"$WAYLAND_DRIVER_STATE/title-bar"
  echo "weston places a Wayland client's window (at $x,$y here); the client area is ${w}x$h"
  return 2
}

driver_window_name() {
  if [ "$1" = stderr-box ]; then wayland_box_line caption; else wayland_toplevel "$1" | cut -f4; fi
}

driver_screen_size() {
  weston-debug scene-graph 2>/dev/null |
    sed -n 's/^\s*mode: \([0-9]*x[0-9]*\)@.*/\1/p' | head -n 1
}

# title_bar_click WIN DX: clicks libdecor's title bar DX pixels from the client area's right edge
# (negative) or left edge (positive), in the middle of its height.
title_bar_click() {
  local x y w h
  read -r x y w h < <(driver_client_geometry "$1")
  [ -n "$h" ] || return 1
  if [ "$2" -lt 0 ]; then x=$((x + w + $2)); else x=$((x + $2)); fi
  xdotool mousemove "$x" $((y - 12)) click 1
}

# A click on the title bar gives the focus back after another window took it; otherwise the
# viewer has it, and no click is made (two would be a double click, which maximizes).
driver_keys() {
  local win=$1
  shift
  if [ -f "$WAYLAND_DRIVER_STATE/focus-stolen" ]; then
    title_bar_click "$win" 40 || return 1
    rm -f "$WAYLAND_DRIVER_STATE/focus-stolen"
  fi
  xdotool key --delay 30 "$@"
}

driver_request_close() { title_bar_click "$1" -16; }
driver_minimize() { title_bar_click "$1" -81; }
# The switcher shows minimized windows again, on top: past the flower below, the second Tab
# picks the viewer.
driver_restore() { xdotool keydown super key Tab key Tab keyup super; }

# Another client's window takes the focus: weston-flower, started before the viewer and moved
# by Super and a drag to the screen's corner, out of every picture (weston places windows at
# random, and no drag can be made once the scenario's button is down). weston's switcher
# (Super+Tab) goes down the stack from the top window: one Tab picks the flower below the viewer.
wayland_thief_start() {
  local deadline x y
  weston-flower >/dev/null 2>&1 &
  WAYLAND_THIEF_PID=$!
  deadline=$(($(date +%s%N) + 20000000000))
  until read -r x y _ < <(wayland_views "$WAYLAND_THIEF_PID" | awk -F'\t' '$1 == "xdg_toplevel" {print $3}') &&
    [ -n "$y" ]; do
    [ "$(date +%s%N)" -gt "$deadline" ] && { echo "weston-flower did not show" >&2; return 1; }
    sleep 0.05
  done
  xdotool mousemove $((x + 1)) $((y + 1)) keydown super mousedown 1 mousemove 700 600 \
    mousemove 1023 767 mouseup 1 keyup super
}
driver_steal_focus() {
  touch "$WAYLAND_DRIVER_STATE/focus-stolen"
  xdotool keydown super key Tab keyup super
}
driver_end_steal() { :; }

# What only Wayland has: the client's own frame, seen by driver_window_geometry.
driver_own_checks() {
  local title
  title=$(cat "$WAYLAND_DRIVER_STATE/title-bar" 2>/dev/null)
  if [ -n "$title" ]; then
    echo "ok    the window has a title bar ($title px) above its client area"
  else
    echo "FAIL  no title bar above the client area (is libdecor's cairo plugin installed?)"
  fi
}

driver_stop() {
  x_display_stop_program
  kill "${WAYLAND_THIEF_PID:-}" "${WESTON_PID:-}" "${WAYLAND_XVFB_PID:-}" 2>/dev/null
  wait "${WAYLAND_THIEF_PID:-}" "${WESTON_PID:-}" "${WAYLAND_XVFB_PID:-}" 2>/dev/null
  x_display_program_output "$WAYLAND_DRIVER_STATE" "^helicoid: \(MessageBoxA: \|the box's \|(the box counts\)"
}
