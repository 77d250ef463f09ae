# shellcheck shell=bash disable=SC2034  # the WINE_* variables are for the caller
# Runs the Windows build of the viewer under Wine on a private Xvfb display, without prompts and
# without a window manager. Source this file; every function prints errors to stderr and returns
# non-zero on failure. README.txt beside it explains the Wine behaviour these helpers work around.
#
#   source tests/e2e/wine/wine_env.sh
#   wine_env_init "$build_dir"              # sets WINEPREFIX=$build_dir/wineprefix and friends
#   wine_xvfb_start                         # exports DISPLAY
#   wine_prefix_ensure                      # creates the prefix once, reuses it afterwards
#   wine_run "$build_dir/viewer.exe" args   # background; WINE_APP_PID is the Windows process
#   wine_keys "$win" Escape                 # $win: an X window id (xdotool search)
#   wine_wait_exit 10; echo "exit code $WINE_APP_RC"
#   wine_env_stop                           # wineserver and Xvfb down

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../../support/xvfb.sh"

# Bump when the registry settings below change, so that existing prefixes get them.
WINE_ENV_PREFIX_VERSION=2

# wine_env_init BUILD_DIR: environment for every later call. State files go to BUILD_DIR/wine-run.
wine_env_init() {
  local dir
  dir=$(cd "$1" && pwd) || return 1
  export WINEPREFIX="$dir/wineprefix"
  export WINEARCH=win64
  # -all also silences the wrapper's "wine32 is missing" hint on a 64-bit-only install.
  export WINEDEBUG=-all
  # No Mono/Gecko download dialogs while the prefix is created (nothing could answer them), no
  # menu entries written into $HOME, and no debugger on a crash: with winedbg attached the exit
  # status of a crashed program is sometimes 0 instead of the exception code.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  WINE_ENV_STATE="$dir/wine-run"
  mkdir -p "$WINE_ENV_STATE"
  if command -v wine >/dev/null; then WINE_ENV_WINE=wine; else WINE_ENV_WINE=/usr/lib/wine/wine64; fi
  if command -v wineserver >/dev/null; then WINE_ENV_SERVER=wineserver; else WINE_ENV_SERVER=/usr/lib/wine/wineserver; fi
}

# Starts Xvfb on a free display and exports DISPLAY.
wine_xvfb_start() {
  xvfb_start "$WINE_ENV_STATE" || return 1
  WINE_XVFB_PID=$XVFB_PID
}

wine_xvfb_stop() {
  [ -n "${WINE_XVFB_PID:-}" ] || return 0
  kill "$WINE_XVFB_PID" 2>/dev/null || true
  wait "$WINE_XVFB_PID" 2>/dev/null || true
  WINE_XVFB_PID=
}

# Creates WINEPREFIX once (about 10 s and 700 MB: Wine 8 copies its DLLs into system32) and reuses
# it while WINE_ENV_PREFIX_VERSION matches. Locked, so parallel test runs can share a build dir.
wine_prefix_ensure() {
  local stamp="$WINEPREFIX/.wine_env_version"
  [ "$(cat "$stamp" 2>/dev/null)" = "$WINE_ENV_PREFIX_VERSION" ] && return 0
  (
    flock 9
    [ "$(cat "$stamp" 2>/dev/null)" = "$WINE_ENV_PREFIX_VERSION" ] && exit 0
    wine_prefix_create_
  ) 9>"$WINEPREFIX.lock"
}

wine_prefix_create_() {
  local reg="$WINE_ENV_STATE/settings.reg"
  "$WINE_ENV_WINE" wineboot --init >"$WINE_ENV_STATE/wineboot.log" 2>&1 ||
    { echo "wine_env: wineboot failed, see $WINE_ENV_STATE/wineboot.log" >&2; return 1; }
  # Managed=N: with no window manager, Wine would wait 2 s on every hide/destroy of a managed
  #   window for a WM that never answers, and would leave the frame undrawn. Unmanaged windows
  #   are drawn whole by Wine (frame and caption) at exactly the position and size asked for.
  # Decorated=N: the same in case a window manager is ever present.
  # UseTakeFocus=N: a window activates when it gets the X focus. Otherwise Wine waits for the
  #   window manager's WM_TAKE_FOCUS, which never comes here: once another X client had the
  #   focus, the window would never take keys again.
  # ShowCrashDialog=0: should winedbg be enabled again (for backtraces), a crash still ends the
  #   process instead of leaving a "Program Error" dialog that nobody closes.
  # LogPixels=96: fixed DPI, so caption and frame metrics never depend on the X server.
  cat >"$reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"
"UseTakeFocus"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
EOF
  "$WINE_ENV_WINE" regedit /S "$(winepath_ "$reg")" >>"$WINE_ENV_STATE/wineboot.log" 2>&1 || return 1
  # The registry reaches the disk only when the wineserver exits.
  "$WINE_ENV_SERVER" -w
  echo "$WINE_ENV_PREFIX_VERSION" >"$WINEPREFIX/.wine_env_version"
}

# Unix path -> path Wine understands (Z: maps /).
winepath_() { printf 'Z:%s' "${1//\//\\}"; }

# wine_run EXE [ARGS...]: starts EXE in the background, its working directory the EXE's own.
# Sets WINE_APP_PID (the Unix process that is the Windows process); stdout and stderr go to
# $WINE_ENV_STATE/app.log. wine_wait_exit collects the exit code.
wine_run() {
  local exe
  exe="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" || return 1
  shift
  rm -f "$WINE_ENV_STATE/app.rc" "$WINE_ENV_STATE/app.pid"
  (
    set +e
    cd "$(dirname "$exe")" || exit 1
    "$WINE_ENV_WINE" "$exe" "$@" >"$WINE_ENV_STATE/app.log" 2>&1 &
    echo $! >"$WINE_ENV_STATE/app.pid"
    wait $!
    echo $? >"$WINE_ENV_STATE/app.rc.tmp" && mv "$WINE_ENV_STATE/app.rc.tmp" "$WINE_ENV_STATE/app.rc"
  ) &
  WINE_RUN_SUBSHELL=$!
  for _ in $(seq 50); do [ -s "$WINE_ENV_STATE/app.pid" ] && break; sleep 0.02; done
  WINE_APP_PID=$(cat "$WINE_ENV_STATE/app.pid")
  WINE_APP_RC=
}

# wine_wait_exit [TIMEOUT_S=10]: waits for the program from wine_run to end and sets WINE_APP_RC.
# Wine passes the Windows exit code through, truncated to 8 bits like any Unix status. On timeout
# the program is killed, WINE_APP_RC is set to "timeout" and the function fails.
wine_wait_exit() {
  local timeout=${1:-10} deadline
  deadline=$(($(date +%s%N) + timeout * 1000000000))
  while [ ! -f "$WINE_ENV_STATE/app.rc" ]; do
    if [ "$(date +%s%N)" -gt "$deadline" ]; then
      kill "$WINE_APP_PID" 2>/dev/null || true
      wait "$WINE_RUN_SUBSHELL" 2>/dev/null || true
      WINE_APP_RC=timeout
      return 1
    fi
    sleep 0.05
  done
  wait "$WINE_RUN_SUBSHELL" 2>/dev/null || true
  WINE_APP_RC=$(cat "$WINE_ENV_STATE/app.rc")
}

# wine_wait_window_gone WINDOW_ID [TIMEOUT_S=10]
wine_wait_window_gone() {
  local id=$1 timeout=${2:-10} deadline
  deadline=$(($(date +%s%N) + timeout * 1000000000))
  while xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; do
    [ "$(date +%s%N)" -gt "$deadline" ] && { echo "wine_env: window $id still shown" >&2; return 1; }
    sleep 0.05
  done
}

# wine_focus WINDOW_ID: gives the window the keyboard. There is no window manager, so xdotool
# sets the X input focus directly (windowactivate needs a WM and fails).
wine_focus() {
  xdotool windowfocus --sync "$1"
}

# wine_keys WINDOW_ID KEY...: X keysym names (Escape, Return, a, ctrl+s, F1...).
wine_keys() {
  local id=$1
  shift
  wine_focus "$id" && xdotool key --delay 30 "$@"
}

# Stops the wineserver of WINEPREFIX and with it explorer, services and whatever program is left.
# Needed at the end of every session: the background processes are bound to this DISPLAY.
wine_server_stop() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  "$WINE_ENV_SERVER" -k 2>/dev/null || true
  "$WINE_ENV_SERVER" -w 2>/dev/null || true
}

wine_env_stop() {
  wine_server_stop
  wine_xvfb_stop
}
