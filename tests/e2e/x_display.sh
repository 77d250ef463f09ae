# shellcheck shell=bash
# The driver functions that every program on an X display shares (the native program and the
# Windows program under Wine): pictures, keys, pointer, titles and places go through the X server
# and ImageMagick, as a user would see them. A driver sources this file and adds its own.

driver_grab() {
  if [ $# -eq 5 ]; then
    import -window root -crop "${4}x${5}+${2}+${3}" +repage "$1"
  else
    import -window root "$1"
  fi
}

driver_keys() {
  local win=$1
  shift
  xdotool windowfocus --sync "$win" && xdotool key --delay 30 "$@"
}

# No --sync on mousemove: xdotool then waits for a motion that never comes when the pointer is
# already there.
driver_pointer() {
  case $1 in
  move) xdotool mousemove "$2" "$3" ;;
  down) xdotool mousemove "$2" "$3" mousedown 1 ;;
  up) xdotool mousemove "$2" "$3" mouseup 1 ;;
  esac
}

driver_window_name() { xdotool getwindowname "$1"; }
driver_window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{if (h != "") print x, y, w, h}'
}
driver_screen_size() { xwininfo -root | awk '/Width:/{w=$NF} /Height:/{h=$NF} END{print w "x" h}'; }

# Another client's window takes the focus, as when a user turns to another program mid-drag.
driver_steal_focus() {
  local thief='' deadline
  xmessage -geometry +720+100 -timeout 60 'takes the focus' >/dev/null 2>&1 &
  X_DISPLAY_THIEF_PID=$!
  deadline=$(($(date +%s%N) + 20000000000))
  until thief=$(xdotool search --onlyvisible --classname '^xmessage$' 2>/dev/null | head -n 1) &&
    [ -n "$thief" ]; do
    [ "$(date +%s%N)" -gt "$deadline" ] && { echo "xmessage did not show" >&2; return 1; }
    sleep 0.05
  done
  xdotool windowfocus --sync "$thief"
}
driver_end_steal() {
  kill "${X_DISPLAY_THIEF_PID:-}" 2>/dev/null
  wait "${X_DISPLAY_THIEF_PID:-}" 2>/dev/null
}

# The CPU time the program has used, in ms: user and system time of the driver's process.
driver_cpu_ms() {
  local pid
  pid=$(driver_pid) && [ -r "/proc/$pid/stat" ] || return 1
  awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / hz) }' \
    "/proc/$pid/stat"
}
