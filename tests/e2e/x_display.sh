# shellcheck shell=bash
# The driver functions that every program on an X display shares (the native program, the Windows
# program under Wine, and weston's window for the program on Wayland): pictures, keys, pointer,
# titles and places go through the X server and ImageMagick, as a user would see them. A driver
# sources this file and adds its own, or replaces them.

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

# ---- The program, for the drivers that start it themselves (native, Wayland)

# x_display_start STATE_DIR [ENV_ARG...]: starts E2E_PROGRAM without arguments, through env with
# those arguments. Each start gets its own log and exit-code file, app-RUN-N.log and app-RUN-N.rc,
# RUN being this shell's pid: a program left over from a run killed from outside still has a
# subshell that will write its exit code. That subshell exists because the scenarios ask for the
# exit code from command substitutions, which cannot wait for a child of this shell.
X_DISPLAY_RUNS=0
x_display_start() {
  X_DISPLAY_RUNS=$((X_DISPLAY_RUNS + 1))
  local run="$1/app-$$-$X_DISPLAY_RUNS"
  (
    env "${@:2}" "$E2E_PROGRAM" >"$run.log" 2>&1 </dev/null &
    echo $! >"$run.pid"
    wait $!
    echo $? >"$run.rc.tmp" && mv "$run.rc.tmp" "$run.rc"
  ) >/dev/null 2>&1 &
  for _ in $(seq 100); do
    [ -s "$run.pid" ] && break
    sleep 0.02
  done
  X_DISPLAY_APP_PID=$(cat "$run.pid" 2>/dev/null)
  X_DISPLAY_APP_RC="$run.rc"
  # shellcheck disable=SC2034 # read by the Wayland driver
  X_DISPLAY_APP_LOG="$run.log"
  [ -n "$X_DISPLAY_APP_PID" ]
}

driver_wait_exit() {
  local deadline
  deadline=$(($(date +%s%N) + $1 * 1000000000))
  while [ ! -f "$X_DISPLAY_APP_RC" ]; do
    if [ "$(date +%s%N)" -gt "$deadline" ]; then
      kill "$X_DISPLAY_APP_PID" 2>/dev/null
      echo timeout
      return 1
    fi
    sleep 0.05
  done
  cat "$X_DISPLAY_APP_RC"
}

# The process the quiet check reads its CPU time from: the program itself, with all its threads
# (llvmpipe draws in threads of its own).
driver_pid() {
  [ -n "${X_DISPLAY_APP_PID:-}" ] && [ ! -f "$X_DISPLAY_APP_RC" ] || return 1
  echo "$X_DISPLAY_APP_PID"
}

x_display_stop_program() {
  if [ -n "${X_DISPLAY_APP_PID:-}" ] && [ ! -f "$X_DISPLAY_APP_RC" ]; then
    kill "$X_DISPLAY_APP_PID" 2>/dev/null
  fi
}

# x_display_program_output STATE_DIR [USUAL_LINES]: the program prints nothing when all is well
# (but the lines matching the grep pattern USUAL_LINES); anything else it said (an unsupported
# call of the SDL layer, a sanitizer report) belongs in the test's output.
x_display_program_output() {
  local log
  for log in "$1/app-$$-"*.log; do
    grep -qv "${2:-^$}" "$log" 2>/dev/null || continue
    echo "      output of the program ($(basename "$log")):"
    sed 's/^/        /' "$log"
  done
}
