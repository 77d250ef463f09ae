#!/usr/bin/env bash
# End-to-end scenarios of the viewer, one list for every platform: the native program, the Windows
# program under Wine, the page, and the native program over the OpenGL 1.1 subset. A driver starts
# the program and does what a user does (keys, pointer, looking at the screen); the pictures are
# compared here with ImageMagick. tests/e2e/x_display.sh has the drivers' functions for programs
# on an X display; web/driver.sh drives the page in headless chromium.
#
#   scenarios.sh DRIVER PROGRAM SNAPSHOT_TOOL WORK_DIR
#
# Exit code 0 when every check passed, 1 when one failed, 77 when the driver cannot run here.
# Pictures of every check go to WORK_DIR/out (emptied at the start); on a failure the check also
# leaves NAME-expected.png and NAME-diff.png there. Each scenario's result goes to
# WORK_DIR/matrix.tsv (scenario, then "pass", "FAIL" or "n/a: why"); matrix.sh puts the
# platforms' columns side by side.
#
# The driver interface
# --------------------
# DRIVER is a bash file that this script sources. It finds E2E_PROGRAM (the program to run) and
# E2E_WORK (a directory of its own for state, logs and anything it builds) set, and defines:
#
#   driver_setup                 Prepares everything once: the screen (1024x768; an X display
#                                has 24 bits and no window manager) and whatever the program
#                                needs. Status 77: it cannot run on this machine (a skip).
#   driver_start                 Starts E2E_PROGRAM without arguments, in the background.
#   driver_shown_windows         Prints the ids of the program's shown top-level windows, one a
#                                line; nothing while there are none.
#   driver_box_text WIN          Prints the message text of the message box WIN. Status 2: this
#                                platform cannot read it (the check is then reported, not failed).
#   driver_viewer_window_exists  Status 0 when the program has its viewer window, shown or not.
#                                Status 2 (printing why): the box does not wait for it.
#   driver_dismiss_box WIN       Presses the default button of the message box WIN and waits
#                                until the box is gone.
#   driver_client_geometry WIN   Prints "X Y WIDTH HEIGHT": the client area of WIN (what OpenGL
#                                draws into) on the screen.
#   driver_request_close WIN     Makes the close request a user makes (the window's close button,
#                                or what the window manager sends for it).
#   driver_wait_exit TIMEOUT_S   Waits for the program to end and prints its exit code; on timeout
#                                kills it, prints "timeout" and returns 1.
#   driver_stop                  Ends whatever is left: the program, servers, the display. Called
#                                once, also after a failure or an interruption.
#   driver_grab OUT [X Y W H]    Writes the screen, or that rectangle of it, to OUT.png as shown.
#   driver_keys WIN KEY...       Gives WIN the focus and types the keys (xdotool's names).
#   driver_pointer move|down|up X Y   Moves the pointer to X Y on the screen; presses or releases
#                                the left button (a finger, on a touch screen) there.
#   driver_window_name WIN       Prints the title of WIN (a box's caption).
#   driver_window_geometry WIN   Prints "X Y WIDTH HEIGHT": the outer rectangle of WIN. Status 2
#                                (printing why): the platform places windows itself.
#   driver_minimize WIN          Minimizes WIN as its minimize button, a taskbar or the window
#                                manager does; driver_restore WIN brings it back the same way.
#   driver_screen_size           Prints "WIDTHxHEIGHT".
#   driver_steal_focus           Another window takes the focus; driver_end_steal removes it.
#   driver_cpu_ms                Prints the CPU time the program has used so far, in ms.
#
# Optional: driver_own_checks prints "ok    WHAT" or "FAIL  WHAT" lines: what only this platform
# has. E2E_CONDITIONS lists the ways the world around the running program can change there (a
# phone turned, a window made smaller); driver_condition NAME makes one happen, prints what it did
# in a line, and fails when the window (or what the user needs beside it) is not all in sight. A
# function the platform cannot have prints why in one line and returns status 2; the scenario
# then reports that instead of failing.
#
# Everything the scenarios expect (title, caption, text, geometry) is what the viewer shows on
# Windows; a platform that differs says so in its driver and its own documentation.
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 DRIVER PROGRAM SNAPSHOT_TOOL WORK_DIR" >&2
  exit 2
fi
E2E_DRIVER=$1
E2E_PROGRAM=$2
E2E_SNAPSHOT=$3
mkdir -p "$4" || exit 1
E2E_WORK=$(cd "$4" && pwd)
E2E_OUT="$E2E_WORK/out"
E2E_REFS="$E2E_WORK/refs"
export E2E_PROGRAM E2E_WORK

EXPECTED_TITLE=' soft by Veldrane'
EXPECTED_BOX_CAPTION='soft by Veldrane - helicoid-viewer@example.org '
EXPECTED_BOX_TEXT=' mouse: touch the window image for movement----- '
EXPECTED_SCREEN='1024x768'
EXPECTED_WINDOW='50 50 614 614' # 80 per cent of the screen height, at (50,50)
WINDOW_SIZE='614x614'
E2E_CONDITIONS=()

# Pictures: a pixel differs when one of its RGB channels differs by more than TOLERANCE (of 255);
# a picture matches when at most CAP_PER_MILLE thousandths of its pixels differ. The same
# renderer with the same depth bits agrees to the pixel; the slack is for another Mesa build.
TOLERANCE=8
CAP_PER_MILLE=2
# Fault tolerance for waits, never a measurement: each wait ends as soon as its event is seen.
WAIT_BOX_S=60     # the first start of a Wine session also starts its services
WAIT_WINDOW_S=20
WAIT_PICTURE_S=10
WAIT_EXIT_S=20
WATCHDOG_S=250    # below the CTest timeout, so that the driver still stops its servers

# ---------------------------------------------------------------- reporting

E2E_FAILURES=0
ok() { printf 'ok    %s\n' "$*"; }
fail() {
  printf 'FAIL  %s\n' "$*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
}
note() { printf '      %s\n' "$*"; }
# not_here WHY: this platform cannot have the check; the scenario's cell says why.
not_here() {
  note "not on this platform: $1"
  SCENARIO_NOT_HERE="${SCENARIO_NOT_HERE:+$SCENARIO_NOT_HERE; }$1"
}

# scenario NAME FUNCTION [ARG...]: runs it and writes its cell of the matrix. Its status is the
# function's.
scenario() {
  local before=$E2E_FAILURES status cell
  SCENARIO_NOT_HERE=
  "${@:2}"
  status=$?
  if [ $E2E_FAILURES -gt "$before" ]; then
    cell=FAIL
  elif [ -n "$SCENARIO_NOT_HERE" ] && [ "${SCENARIO_PASSED:-1}" -eq 0 ]; then
    cell="n/a: $SCENARIO_NOT_HERE"
  else
    cell="pass${SCENARIO_NOT_HERE:+ (not checked: $SCENARIO_NOT_HERE)}"
  fi
  SCENARIO_PASSED=1
  printf '%s\t%s\n' "$1" "$cell" >>"$E2E_WORK/matrix.tsv"
  return $status
}

# quoted STRING: shows leading and trailing spaces.
quoted() { printf "'%s'" "$1"; }

now_ns() { date +%s%N; }

# ---------------------------------------------------------------- pictures

# grab OUT.png: the client area as it is on the screen now (GL content included).
grab() { driver_grab "$1" "$CLIENT_X" "$CLIENT_Y" "$CLIENT_W" "$CLIENT_H"; }

picture_size() { identify -format '%wx%h' "$1"; }

# differing_pixels A B [TOLERANCE]: how many pixels differ by more than TOLERANCE in some channel.
differing_pixels() {
  local tol=${3:-$TOLERANCE} size_a size_b
  size_a=$(picture_size "$1") && size_b=$(picture_size "$2") || return 1
  if [ "$size_a" != "$size_b" ]; then
    echo "pictures of different sizes: $1 is $size_a, $2 is $size_b" >&2
    return 1
  fi
  convert "$1" "$2" -alpha off -compose difference -composite -separate -evaluate-sequence max \
    -threshold "$(awk -v t="$tol" 'BEGIN { printf "%.6f%%", (t + 0.5) * 100 / 255 }')" \
    -format '%[fx:round(mean*w*h)]' info:
}

# cap_for PICTURE: the most differing pixels a match may have.
cap_for() {
  local w h
  IFS=x read -r w h < <(picture_size "$1")
  echo $((w * h * CAP_PER_MILLE / 1000))
}

# keep_difference NAME ACTUAL EXPECTED: the evidence of a failed comparison, in E2E_OUT.
keep_difference() {
  [ "$2" = "$E2E_OUT/$1.png" ] || cp "$2" "$E2E_OUT/$1.png"
  cp "$3" "$E2E_OUT/$1-expected.png"
  compare -fuzz "$(awk -v t="$TOLERANCE" 'BEGIN { printf "%.4f%%", (t + 0.5) * 100 / 255 }')" \
    "$2" "$3" "$E2E_OUT/$1-diff.png" 2>/dev/null
}

# await_match NAME REF [TIMEOUT_S]: grabs until the picture matches REF, then checks that it
# stays so (no further frame undoes it). Leaves the last grab in $E2E_OUT/NAME.png and its
# count of differing pixels in MATCH_COUNT.
await_match() {
  local name=$1 ref=$2 timeout=${3:-$WAIT_PICTURE_S} out="$E2E_OUT/$1.png" cap deadline
  cap=$(cap_for "$ref")
  deadline=$(($(now_ns) + timeout * 1000000000))
  while :; do
    grab "$out" && MATCH_COUNT=$(differing_pixels "$out" "$ref") || MATCH_COUNT=
    if [ -n "$MATCH_COUNT" ] && [ "$MATCH_COUNT" -le "$cap" ]; then
      sleep 0.3
      grab "$out" && MATCH_COUNT=$(differing_pixels "$out" "$ref") || MATCH_COUNT=
      [ -n "$MATCH_COUNT" ] && [ "$MATCH_COUNT" -le "$cap" ] && return 0
    fi
    [ "$(now_ns)" -gt "$deadline" ] && break
    sleep 0.1
  done
  keep_difference "$name" "$out" "$ref"
  return 1
}

# await_change NAME BEFORE [TIMEOUT_S]: grabs until the picture is no longer BEFORE (to the
# pixel), into $E2E_OUT/NAME.png.
await_change() {
  local out="$E2E_OUT/$1.png" deadline count
  deadline=$(($(now_ns) + ${3:-$WAIT_PICTURE_S} * 1000000000))
  while :; do
    grab "$out" && count=$(differing_pixels "$out" "$2" 0) && [ "$count" -gt 0 ] && return 0
    [ "$(now_ns)" -gt "$deadline" ] && return 1
    sleep 0.05
  done
}

# await_still NAME [TIMEOUT_S]: grabs until two pictures 0.3 s apart are equal to the pixel.
await_still() {
  local out="$E2E_OUT/$1.png" previous="$E2E_OUT/$1-before.png" deadline count
  deadline=$(($(now_ns) + ${2:-$WAIT_PICTURE_S} * 1000000000))
  grab "$previous" || return 1
  while :; do
    sleep 0.3
    grab "$out" && count=$(differing_pixels "$out" "$previous" 0) && [ "$count" -eq 0 ] && return 0
    [ "$(now_ns)" -gt "$deadline" ] && return 1
    mv "$out" "$previous"
  done
}

# lit_mask PICTURE BACKGROUND MASK_OUT: white where PICTURE is not the background colour.
lit_mask() {
  convert "$1" -alpha off \( -size "$(picture_size "$1")" "xc:$2" \) -compose difference -composite \
    -separate -evaluate-sequence max \
    -threshold "$(awk -v t="$TOLERANCE" 'BEGIN { printf "%.6f%%", (t + 0.5) * 100 / 255 }')" "$3"
}
count_white() { convert "$1" -format '%[fx:round(mean*w*h)]' info:; }

# snapshot NAME ARGS...: the reference picture $E2E_REFS/NAME.png, drawn for the live window's
# client size and the viewer's window size.
snapshot() {
  local name=$1
  shift
  "$E2E_SNAPSHOT" --output "$E2E_REFS/$name.png" --size "${CLIENT_W}x${CLIENT_H}" \
    --window "$WINDOW_SIZE" "$@" >"$E2E_REFS/$name.log" 2>&1 || {
    echo "helicoid-snapshot failed for $name: $(cat "$E2E_REFS/$name.log")" >&2
    return 1
  }
}

# ---------------------------------------------------------------- input

keys() { driver_keys "$@"; }

# Pointer positions are client-area pixels.
pointer_to() { driver_pointer move $((CLIENT_X + $1)) $((CLIENT_Y + $2)); }
press_at() { driver_pointer down $((CLIENT_X + $1)) $((CLIENT_Y + $2)); }
release_at() { driver_pointer up $((CLIENT_X + $1)) $((CLIENT_Y + $2)); }

# ---------------------------------------------------------------- windows

# await_shown_windows TIMEOUT_S: prints the program's shown windows once there is one.
await_shown_windows() {
  local deadline windows
  deadline=$(($(now_ns) + $1 * 1000000000))
  while :; do
    windows=$(driver_shown_windows)
    [ -n "$windows" ] && { echo "$windows"; return 0; }
    [ "$(now_ns)" -gt "$deadline" ] && return 1
    sleep 0.05
  done
}

# start_to_viewer: starts the program, dismisses the information box and sets VIEWER to the
# viewer's window. Used by the runs that are not about the box.
start_to_viewer() {
  local box
  driver_start || return 1
  box=$(await_shown_windows "$WAIT_BOX_S") || return 1
  driver_dismiss_box "$box" || return 1
  VIEWER=$(await_shown_windows "$WAIT_WINDOW_S") || return 1
}

# ---------------------------------------------------------------- scenarios

# The information box comes before anything else, says what it should, and the viewer window
# is created only once it has been dismissed.
scenario_information_box() {
  local shown text status
  driver_start || { fail "the program starts"; return 1; }
  if ! shown=$(await_shown_windows "$WAIT_BOX_S"); then
    fail "information box: nothing shown within ${WAIT_BOX_S}s"
    return 1
  fi
  if [ "$(wc -l <<<"$shown")" -ne 1 ]; then
    fail "information box: $(wc -l <<<"$shown") windows shown at once, expected the box alone"
  fi
  BOX=$(head -n 1 <<<"$shown")
  local caption
  caption=$(driver_window_name "$BOX")
  if [ "$caption" = "$EXPECTED_BOX_CAPTION" ]; then
    ok "information box: caption $(quoted "$caption")"
  else
    fail "information box: caption $(quoted "$caption"), expected $(quoted "$EXPECTED_BOX_CAPTION")"
  fi
  text=$(driver_box_text "$BOX")
  status=$?
  if [ $status -eq 2 ]; then
    not_here "the box's text cannot be read back"
  elif [ $status -ne 0 ]; then
    fail "information box: the text could not be read (is window $BOX a message box?)"
  elif [ "$text" = "$EXPECTED_BOX_TEXT" ]; then
    ok "information box: text $(quoted "$text")"
  else
    fail "information box: text $(quoted "$text"), expected $(quoted "$EXPECTED_BOX_TEXT")"
  fi
  text=$(driver_viewer_window_exists)
  status=$?
  if [ $status -eq 2 ]; then
    not_here "$text"
  elif [ $status -eq 0 ]; then
    fail "information box: the viewer window already exists while the box is shown"
  else
    ok "information box: no viewer window exists before it is dismissed"
  fi
  driver_grab "$E2E_OUT/information-box.png"

  if ! driver_dismiss_box "$BOX"; then
    fail "information box: Return did not dismiss it"
    return 1
  fi
  if ! VIEWER=$(await_shown_windows "$WAIT_WINDOW_S"); then
    fail "viewer window: not shown within ${WAIT_WINDOW_S}s of dismissing the box"
    return 1
  fi
  ok "information box: dismissed with Return, then the viewer window is shown"
}

scenario_window() {
  local name geometry screen status
  screen=$(driver_screen_size)
  [ "$screen" = "$EXPECTED_SCREEN" ] || fail "screen is $screen, expected $EXPECTED_SCREEN"
  if [ "$(wc -l <<<"$VIEWER")" -ne 1 ]; then
    fail "viewer window: $(wc -l <<<"$VIEWER") windows shown, expected one"
    VIEWER=$(head -n 1 <<<"$VIEWER")
  fi
  name=$(driver_window_name "$VIEWER")
  status=$?
  if [ $status -eq 2 ]; then
    not_here "$name"
  elif [ "$name" = "$EXPECTED_TITLE" ]; then
    ok "viewer window: title $(quoted "$name")"
  else
    fail "viewer window: title $(quoted "$name"), expected $(quoted "$EXPECTED_TITLE")"
  fi
  geometry=$(driver_window_geometry "$VIEWER")
  status=$?
  if [ $status -eq 2 ]; then
    not_here "$geometry"
  elif [ "$geometry" = "$EXPECTED_WINDOW" ]; then
    ok "viewer window: outer rectangle (x y w h) $geometry on a $screen screen"
  else
    fail "viewer window: outer rectangle (x y w h) $geometry, expected $EXPECTED_WINDOW"
  fi
  if ! read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H < <(driver_client_geometry "$VIEWER") ||
    [ -z "$CLIENT_H" ]; then
    fail "viewer window: no client area"
    return 1
  fi
  note "client area ${CLIENT_W}x${CLIENT_H} at ($CLIENT_X,$CLIENT_Y)"
  driver_grab "$E2E_OUT/viewer-window.png"
}

# The first picture against the snapshot tool for the same client size, at the 16 depth bits
# the viewer asks for: every platform must give it exactly that, since the depth bits decide
# which copy of each doubled triangle wins.
scenario_first_picture() {
  snapshot plain --depth-bits "$DEPTH" || { fail "first picture: no reference"; return 1; }
  if await_match first-picture "$E2E_REFS/plain.png"; then
    ok "first picture matches the snapshot with $DEPTH depth bits: $MATCH_COUNT of $((CLIENT_W * CLIENT_H)) pixels differ"
  else
    fail "first picture: $MATCH_COUNT pixels differ from the snapshot with $DEPTH depth bits (cap $(cap_for "$E2E_REFS/plain.png"))"
  fi
}

# "f" fog; "F" and "P" (shifted) are not commands; "p" wireframe; each toggles back. With
# "tapped", the shifted letters are left out: a phone has its other keys on screen, and a
# keyboard's first key would take those away.
scenario_keys() {
  local shifted=(F P) what='f after F and P'
  [ "${1:-}" = tapped ] && shifted=() what='f again'
  if ! snapshot fog --depth-bits "$DEPTH" --fog ||
    ! snapshot wireframe --depth-bits "$DEPTH" --wireframe; then
    fail "keys: no reference"
    return 1
  fi

  keys "$VIEWER" f
  if await_match key-f "$E2E_REFS/fog.png"; then
    ok "f: the fog picture ($MATCH_COUNT differing pixels)"
  else
    fail "f: not the fog picture ($MATCH_COUNT differing pixels)"
  fi

  # Shifted letters go to the default handling. They leave no trace of their own, so "f" follows
  # as a marker: once fog is off again, the letters before it have been handled too, and any
  # state they changed would show.
  keys "$VIEWER" "${shifted[@]}" f
  if await_match key-shifted-then-f "$E2E_REFS/plain.png"; then
    ok "$what: the plain picture, so no state changed ($MATCH_COUNT differing pixels)"
  else
    fail "$what: not the plain picture ($MATCH_COUNT differing pixels)"
  fi

  keys "$VIEWER" p
  if ! await_change key-p "$E2E_REFS/plain.png" || ! await_still key-p; then
    fail "p: the picture did not change, or did not settle"
  else
    check_wireframe key-p "$E2E_REFS/wireframe.png" "$E2E_REFS/plain.png"
  fi
  keys "$VIEWER" p
  if await_match key-p-again "$E2E_REFS/plain.png"; then
    ok "p again: the filled picture is back ($MATCH_COUNT differing pixels)"
  else
    fail "p again: not the filled picture ($MATCH_COUNT differing pixels)"
  fi
}

# Rasterizers differ in where they put line pixels, so a wireframe is checked by its shape: far
# fewer pixels drawn than when filled, all of them on the filled model's silhouette (allowing a
# two-pixel margin), and clearly not the filled picture.
check_wireframe() {
  local name=$1 ref=$2 filled=$3 actual="$E2E_OUT/$1.png" background lit filled_lit outside exact
  background=$(convert "$filled" -format '%[pixel:p{0,0}]' info:)
  lit_mask "$actual" "$background" "$E2E_OUT/$name-lit.png"
  lit_mask "$filled" "$background" "$E2E_OUT/$name-filled-lit.png"
  lit=$(count_white "$E2E_OUT/$name-lit.png")
  filled_lit=$(count_white "$E2E_OUT/$name-filled-lit.png")
  convert "$E2E_OUT/$name-filled-lit.png" -morphology Dilate Square:2 -negate \
    "$E2E_OUT/$name-lit.png" -compose multiply -composite "$E2E_OUT/$name-outside.png"
  outside=$(count_white "$E2E_OUT/$name-outside.png")
  exact=$(differing_pixels "$actual" "$ref")
  note "wireframe: $lit pixels drawn (filled: $filled_lit), $outside outside the silhouette, $exact differ from the snapshot's wireframe"
  if [ "$lit" -gt $((filled_lit / 20)) ] && [ "$lit" -lt $((filled_lit * 4 / 5)) ] &&
    [ "$outside" -le $((lit / 100)) ]; then
    ok "p: a wireframe of the same model"
    rm -f "$E2E_OUT/$name-"{lit,filled-lit,outside}.png
  else
    fail "p: not a wireframe of the model (drawn $lit of filled $filled_lit, $outside outside)"
    keep_difference "$name" "$actual" "$ref"
  fi
}

# A drag that comes back to its press point: every event draws one frame, the release is a click,
# and the result is fully determined, so it must equal the snapshot tool's play of the same
# events. Waiting for each frame keeps moves from merging.
TRACKBALL_PATH=('press 200 300' 'move 300 120' 'move 450 300' 'move 200 300' 'release 200 300')
scenario_drag() {
  local script step verb x y previous="$E2E_REFS/plain.png" i=0
  script=$(IFS=';'; echo "${TRACKBALL_PATH[*]}")
  snapshot trackball --depth-bits "$DEPTH" --trackball "$script" || { fail "drag: no reference"; return 1; }
  for step in "${TRACKBALL_PATH[@]}"; do
    read -r verb x y <<<"$step"
    i=$((i + 1))
    case $verb in
    press) press_at "$x" "$y" ;;
    move) pointer_to "$x" "$y" ;;
    release) release_at "$x" "$y" ;;
    esac
    # A click draws one more frame but turns nothing.
    [ "$verb" = release ] && break
    if ! await_change "drag-$i" "$previous"; then
      fail "drag: no new picture after '$step'"
      return 1
    fi
    previous="$E2E_OUT/drag-$i.png"
  done
  if await_match drag "$E2E_REFS/trackball.png"; then
    ok "drag: the model turns as the snapshot tool turns it ($MATCH_COUNT differing pixels)"
  else
    fail "drag: not the snapshot tool's picture for '$script' ($MATCH_COUNT differing pixels)"
  fi
}

# Released away from the press point it keeps spinning; a click (press and release on one pixel)
# stops it.
scenario_spin_and_stop() {
  local i count spinning=1
  press_at 300 300
  pointer_to 380 290
  release_at 380 290
  # The move and the release draw two frames; two more changes need the spin itself.
  grab "$E2E_OUT/spin-0.png"
  for i in 1 2 3 4; do
    await_change "spin-$i" "$E2E_OUT/spin-$((i - 1)).png" || { spinning=0; break; }
  done
  if [ $spinning -eq 1 ]; then
    ok "release away from the press: it keeps spinning (successive pictures differ)"
  else
    fail "release away from the press: successive pictures are equal, it does not spin"
  fi

  press_at 300 300
  release_at 300 300
  if ! await_still stopped; then
    fail "click: the pictures never stop changing"
    return 1
  fi
  # Still again later, and still the same picture: it did not stop for a moment only.
  await_still stopped-later
  count=$(differing_pixels "$E2E_OUT/stopped-later.png" "$E2E_OUT/stopped.png" 0)
  if [ "${count:-1}" -eq 0 ]; then
    ok "click: it stops (successive pictures are equal)"
  else
    fail "click: it stopped for a moment only ($count pixels changed later)"
    return 1
  fi
}

# A drag whose release goes elsewhere: another client takes the focus mid-drag and the button
# goes up outside. The drag came back to its press pixel before, so it ends as a click, and
# later moves over the window without the button must not turn the model. A wireframe toggle
# after the moves marks that they have been handled.
scenario_lost_release() {
  press_at 300 300
  pointer_to 340 300
  await_change lost-1 "$E2E_OUT/stopped-later.png" || { fail "lost release: the drag did not turn the model"; return 1; }
  pointer_to 300 300
  await_change lost-2 "$E2E_OUT/lost-1.png" || { fail "lost release: the drag did not turn the model"; return 1; }
  # Not in a subshell: the driver keeps what it started, to remove it afterwards.
  if ! driver_steal_focus; then
    fail "lost release: no other window took the focus"
  else
    driver_pointer up 900 700
    await_still lost-held || fail "lost release: the picture did not settle"
    pointer_to 100 100
    pointer_to 420 400
    pointer_to 250 500
    keys "$VIEWER" p
    if ! await_change lost-wireframe "$E2E_OUT/lost-held.png"; then
      fail "lost release: the window did not take keys again after the focus came back"
    fi
    keys "$VIEWER" p
    if await_match lost-moved "$E2E_OUT/lost-held.png"; then
      ok "lost release: moves without the button leave the model as it was ($MATCH_COUNT differing pixels)"
    else
      fail "lost release: moves without the button turned the model ($MATCH_COUNT differing pixels)"
    fi
  fi
  driver_end_steal
}

# Minimized with the model stopped, then restored: the picture is there again as it was (Windows
# repaints a restored window; each driver says how its platform does it).
scenario_minimize() {
  local why status
  await_still before-minimize || { fail "minimize: the picture does not stand still"; return 1; }
  why=$(driver_minimize "$VIEWER")
  status=$?
  if [ $status -eq 2 ]; then
    not_here "$why"
    SCENARIO_PASSED=0
    return 0
  fi
  if [ $status -ne 0 ] || ! await_change minimized "$E2E_OUT/before-minimize.png"; then
    fail "minimize: the window did not leave the screen"
    return 1
  fi
  driver_restore "$VIEWER" || { fail "restore: the driver could not restore the window"; return 1; }
  if await_match restored "$E2E_OUT/before-minimize.png"; then
    ok "minimized and restored: the picture is back as it was ($MATCH_COUNT differing pixels)"
  else
    fail "minimized and restored: not the picture from before ($MATCH_COUNT differing pixels)"
  fi
}

# A stopped viewer has nothing to draw: it must sleep in GetMessageA and wake only for its 100 ms
# timer. Polling instead costs a whole core, so 1 per cent of one core tells the two apart with a
# wide margin on any machine; CPU time, unlike wall time, does not grow when the machine is busy.
# Five seconds are 500 clock ticks: 1 per cent is five of them, polling would be hundreds.
QUIET_S=5
QUIET_CAP_PER_MILLE=10
scenario_quiet() {
  local before after start elapsed_ms used_ms figure
  if ! before=$(driver_cpu_ms); then
    fail "quiet CPU: the program's CPU time cannot be read (is it gone?)"
    return 1
  fi
  start=$(now_ns)
  # Short sleeps, so that an interruption is handled at once rather than after the whole wait.
  local i
  for ((i = 0; i < QUIET_S * 4; i++)); do sleep 0.25; done
  after=$(driver_cpu_ms) || { fail "quiet CPU: the program ended while it was measured"; return 1; }
  elapsed_ms=$((($(now_ns) - start) / 1000000))
  used_ms=$((after - before))
  figure=$(awk -v u="$used_ms" -v e="$elapsed_ms" \
    'BEGIN { printf "%.2f s of CPU over %.1f s (%.2f %% of one core)", u / 1000, e / 1000, u * 100 / e }')
  if [ $((used_ms * 1000)) -lt $((elapsed_ms * QUIET_CAP_PER_MILLE)) ]; then
    ok "quiet CPU after the click: $figure"
  else
    fail "quiet CPU after the click: $figure, expected below $((QUIET_CAP_PER_MILLE / 10)) %: it does not sleep"
  fi
}

# expect_exit HOW: the program has been asked to end; it must do so with exit code 0.
expect_exit() {
  local code
  code=$(driver_wait_exit "$WAIT_EXIT_S")
  if [ "$code" = 0 ]; then
    ok "$1 ends the process with exit code 0"
  else
    fail "$1: the process ended with exit code $code, expected 0"
  fi
}

scenario_escape() {
  keys "$VIEWER" Escape
  expect_exit Escape
}

scenario_close_request() {
  local why status
  if ! start_to_viewer; then
    fail "close request: the second run did not reach the viewer window"
    return 1
  fi
  read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H < <(driver_client_geometry "$VIEWER")
  # Closing before the first frame would skip what the close normally tears down.
  if [ -f "$E2E_REFS/plain.png" ] && ! await_match second-run "$E2E_REFS/plain.png" >/dev/null; then
    note "second run: the first picture was not seen"
  fi
  why=$(driver_request_close "$VIEWER")
  status=$?
  if [ $status -eq 0 ]; then
    expect_exit "the close request"
  elif [ $status -eq 2 ]; then
    not_here "$why"
    SCENARIO_PASSED=0
  else
    fail "close request: the driver could not make it"
  fi
}

# A condition, then the key rows again in the world it made.
scenario_condition() {
  local what
  what=$(driver_condition "$1") || { fail "$1: the window or what is beside it is out of sight"; return 1; }
  ok "$1: $what"
  driver_grab "$E2E_OUT/$1.png"
  scenario_keys tapped
  # Nothing shows what j and k change; a key out of reach fails to be sent.
  if keys "$VIEWER" j k; then ok "j and k: sent"; else fail "j and k: not sent"; fi
}

# ---------------------------------------------------------------- main

# One run at a time per work directory. A lock directory with the owner's pid rather than flock:
# the servers the driver starts would inherit a lock descriptor, and a run killed from outside
# would then hold the lock through them.
E2E_LOCK="$E2E_WORK/run.lock"
lock_deadline=$(($(now_ns) + 600 * 1000000000))
until mkdir "$E2E_LOCK" 2>/dev/null; do
  owner=$(cat "$E2E_LOCK/pid" 2>/dev/null)
  if [ -n "$owner" ] && ! kill -0 "$owner" 2>/dev/null; then
    rm -rf "$E2E_LOCK"
    continue
  fi
  if [ "$(now_ns)" -gt "$lock_deadline" ]; then
    echo "another end-to-end run (pid ${owner:-?}) holds $E2E_WORK" >&2
    exit 1
  fi
  sleep 0.5
done
echo $$ >"$E2E_LOCK/pid"
rm -rf "$E2E_OUT" "$E2E_REFS" "$E2E_WORK/matrix.tsv"
mkdir -p "$E2E_OUT" "$E2E_REFS"

# shellcheck source=/dev/null
source "$E2E_DRIVER" || exit 1

E2E_STOPPED=0
stop_all() {
  [ $E2E_STOPPED -eq 1 ] && return
  E2E_STOPPED=1
  [ -n "${WATCHDOG_PID:-}" ] && kill "$WATCHDOG_PID" 2>/dev/null
  driver_stop
  rm -rf "$E2E_LOCK"
}
trap stop_all EXIT
trap 'fail "interrupted (watchdog after ${WATCHDOG_S}s or a signal)"; exit 1' TERM INT
# Polls in short sleeps so that nothing of it outlives the run (CTest waits for every process
# that holds its output pipe).
(
  for ((i = 0; i < WATCHDOG_S * 10; i++)); do
    sleep 0.1
    kill -0 $$ || exit 0
  done
  kill -TERM $$
) >/dev/null 2>&1 &
WATCHDOG_PID=$!

E2E_START=$(now_ns)
driver_setup
status=$?
if [ $status -eq 77 ]; then
  echo "skipped: the driver cannot run here"
  exit 77
elif [ $status -ne 0 ]; then
  echo "FAIL  driver setup"
  exit 1
fi

# The platform's own checks: what only it has.
scenario_own() {
  local lines
  if ! declare -F driver_own_checks >/dev/null; then
    not_here "no checks of its own"
    SCENARIO_PASSED=0
    return 0
  fi
  lines=$(driver_own_checks) || fail "the platform's own checks did not run: $lines"
  printf '%s\n' "$lines"
  E2E_FAILURES=$((E2E_FAILURES + $(grep -c '^FAIL' <<<"$lines")))
}

DEPTH=16
SCENARIOS=('information box' 'viewer window' 'first picture' 'keys f F P p' 'drag'
  'spin and stop' 'quiet CPU' 'lost release' 'minimize/restore' 'Escape' 'close request'
  'own checks')
if scenario 'information box' scenario_information_box &&
  scenario 'viewer window' scenario_window; then
  scenario 'first picture' scenario_first_picture
  scenario 'keys f F P p' scenario_keys
  scenario drag scenario_drag
  if scenario 'spin and stop' scenario_spin_and_stop; then
    scenario 'quiet CPU' scenario_quiet
    scenario 'lost release' scenario_lost_release
    scenario 'minimize/restore' scenario_minimize
  else
    note "quiet CPU: not measured, the model was not stopped"
  fi
  scenario Escape scenario_escape
else
  fail "the scenarios that need the viewer window were not run"
  driver_wait_exit 1 >/dev/null
fi
scenario 'close request' scenario_close_request
# The conditions in a run of their own: the key rows in each in turn, a drag and Escape in the last.
if [ ${#E2E_CONDITIONS[@]} -gt 0 ] && start_to_viewer &&
  read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H < <(driver_client_geometry "$VIEWER"); then
  for condition in "${E2E_CONDITIONS[@]}"; do
    scenario "keys, $condition" scenario_condition "$condition"
  done
  scenario "drag, $condition" scenario_drag
  scenario "Escape, $condition" scenario_escape
elif [ ${#E2E_CONDITIONS[@]} -gt 0 ]; then
  fail "conditions: their run did not reach the viewer window"
fi
scenario 'own checks' scenario_own
# Scenarios that an earlier failure kept from running get a cell too.
for name in "${SCENARIOS[@]}"; do
  cut -f1 "$E2E_WORK/matrix.tsv" | grep -qxF "$name" ||
    printf '%s\tnot run\n' "$name" >>"$E2E_WORK/matrix.tsv"
done
awk -F'\t' '{ printf "%-22s %s\n", $1, $2 }' "$E2E_WORK/matrix.tsv"

elapsed=$((($(now_ns) - E2E_START) / 1000000))
echo "pictures in $E2E_OUT; ${elapsed} ms"
for diff in "$E2E_OUT"/*-diff.png; do
  [ -f "$diff" ] && echo "difference picture: $diff (beside it NAME.png as seen, NAME-expected.png)"
done
if [ $E2E_FAILURES -gt 0 ]; then
  echo "$E2E_FAILURES check(s) failed"
  exit 1
fi
echo "all checks passed"
