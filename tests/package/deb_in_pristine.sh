#!/usr/bin/env bash
# The Debian package on a system that has never seen the project (scripts/fresh-check.sh runs it
# as root inside a minimal Debian): apt-get installs it with what it declares, recommendations
# on as apt-get has them by default; the installed files validate; /usr/bin/helicoid passes the start-up smoke test (box, window, first
# picture, Escape -> 0) and every library it has loaded by then belongs to a package that was
# there before the test's own tools came; apt-get remove leaves none of its files.
#
#   tests/package/deb_in_pristine.sh helicoid_VERSION_ARCH.deb
set -euo pipefail
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 helicoid_VERSION_ARCH.deb" >&2
  exit 2
fi
deb=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/../support/xvfb.sh"

work=$(mktemp -d)
finish() {
  [ -z "${PROGRAM_PID:-}" ] || kill "$PROGRAM_PID" 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; } || true
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "deb_in_pristine: FAILED: $*" >&2
  exit 1
}
say() { echo "deb_in_pristine: $*"; }
apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# ---- install -------------------------------------------------------------------------------
apt-get update -qq
before=$(dpkg-query -W -f '${Package}\n' | wc -l)
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null || fail "apt-get install $deb"
dpkg-query -W -f '${Package}\n' | sort >"$work/with-package"
say "installed with $(($(wc -l <"$work/with-package") - before - 1)) packages it declares or they need"
[ "$(command -v helicoid)" = /usr/bin/helicoid ] || fail "no /usr/bin/helicoid on PATH"
box=$(grep -xE 'xfonts-base|zenity' "$work/with-package") || fail "neither xfonts-base nor zenity came"
say "the start-up box can draw with: $box"

# The test's own tools: a display (no fonts of its own: the box must draw with what the package
# brought), something to look at it and press keys, and the validators.
apt_install xvfb x11-utils xdotool imagemagick desktop-file-utils appstream

# ---- the installed files -----------------------------------------------------------------
dpkg -L helicoid >"$work/files"
desktop=$(grep '^/usr/share/applications/.*\.desktop$' "$work/files") || fail "no .desktop entry"
metainfo=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' "$work/files") || fail "no metainfo"
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
# No network here but the package mirror: the homepage and screenshot URLs are not fetched.
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
say "desktop-file-validate and appstreamcli validate pass"

# ---- start-up smoke test -----------------------------------------------------------------
mapped_windows() {
  local id
  for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
  done
}
viewer_window() { xdotool search --onlyvisible --class '^helicoid$' 2>/dev/null | head -n 1; }
# Drawn once the window holds more than a flat background.
picture_drawn() {
  local colours
  colours=$(import -window "$1" png:- 2>/dev/null | convert png:- -format %k info: 2>/dev/null)
  [ "${colours:-0}" -gt 100 ]
}
wait_for() { # SECONDS COMMAND...: polls every 0.1 s
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "helicoid ended early"
    sleep 0.1
  done
}
one_window() { [ "$(mapped_windows | wc -l)" -eq 1 ]; }
viewer_shown() { [ -n "$(viewer_window)" ]; }

xvfb_start "$work" || fail "Xvfb did not start"
(cd / && exec env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" helicoid) &
PROGRAM_PID=$!
wait_for 60 one_window || fail "no information box appeared"
! viewer_shown || fail "the viewer's window came before the information box"
xdotool windowfocus --sync "$(mapped_windows)" key Return
wait_for 30 viewer_shown || fail "no viewer window after the box was dismissed"
viewer=$(viewer_window)
wait_for 30 picture_drawn "$viewer" || fail "the viewer's window shows no picture"
say "information box, then the viewer's window with its first picture"

# Libraries opened at run time (SDL's libGL, Mesa's driver) are no one's link dependency; the
# smoke test proves them only if the package, not the test's tools, brought them.
owner() { # FILE: the package that installed it, under either spelling of the merged /usr
  dpkg -S "$1" 2>/dev/null || dpkg -S "${1#/usr}" 2>/dev/null || dpkg -S "/usr$1" 2>/dev/null
}
awk '$6 ~ /\.so/ {print $6}' "/proc/$PROGRAM_PID/maps" | sort -u >"$work/loaded"
[ -s "$work/loaded" ] || fail "could not read the libraries helicoid has loaded"
while read -r library; do
  package=$(owner "$library" | head -n 1 | cut -d: -f1) || fail "$library belongs to no package"
  grep -qx "$package" "$work/with-package" ||
    fail "$library comes from $package, which only the test's tools installed"
done <"$work/loaded"
say "all $(wc -l <"$work/loaded") libraries it loaded come with the package's dependencies"

xdotool windowfocus --sync "$viewer" key Escape
for _ in $(seq 300); do kill -0 "$PROGRAM_PID" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$PROGRAM_PID" 2>/dev/null || fail "helicoid still runs 30 s after Escape"
status=0
wait "$PROGRAM_PID" || status=$?
PROGRAM_PID=
[ "$status" -eq 0 ] || fail "exit code $status after Escape"
say "Escape ended it with exit code 0"

# ---- remove ------------------------------------------------------------------------------
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq helicoid >/dev/null || fail "apt-get remove"
left=$(while read -r file; do [ ! -f "$file" ] || echo "$file"; done <"$work/files")
[ -z "$left" ] || fail "apt-get remove left: $left"
state=$(dpkg-query -W -f '${db:Status-Status}' helicoid 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "dpkg still knows helicoid as $state"
stray=$(find /usr /etc /opt /var/lib/dpkg/info -name '*helicoid*' 2>/dev/null)
[ -z "$stray" ] || fail "left behind: $stray"
say "apt-get remove left none of its $(wc -l <"$work/files") paths behind"
