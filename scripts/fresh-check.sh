#!/usr/bin/env bash
# Proves the README's commands on a machine that has never seen the project: a minimal Debian
# (debootstrap, minbase) gets a clean clone of this repository's HEAD, runs scripts/run.sh as a
# smoke test on a private Xvfb (box, Return, window with its first picture, Escape, exit code 0),
# then scripts/test.sh in full; last, the Debian package built there is installed on a second
# pristine system (tests/package/deb_in_pristine.sh).
#
#   scripts/fresh-check.sh [bookworm|trixie]      (default bookworm; needs root)
#
# The base system and every downloaded package are cached under $FRESH_CHECK_CACHE (default
# /var/cache/helicoid-fresh-check), so a repeated run downloads only the package lists.
# Each step is a function called through `step`; a new step is one more function and one line at
# the bottom.
# shellcheck disable=SC2317 # the steps are called through `step` and the clean-up through trap
set -euo pipefail

suite=${1:-bookworm}
case $suite in
bookworm | trixie) ;;
*)
  echo "usage: $0 [bookworm|trixie]" >&2
  exit 2
  ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: needs root (debootstrap, chroot and mount)" >&2
  exit 2
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${FRESH_CHECK_CACHE:-/var/cache/helicoid-fresh-check}
base_tarball=$cache/$suite-base.tar.gz
archives=$cache/$suite-archives # bind-mounted as the system's apt archive cache
log=$cache/$suite-last.log
root=    # the system under test, made anew by every run
mounts=() # in mount order; unmounted in reverse
mirror=
security_mirror=
current_step=
summary=()
start=$SECONDS

mkdir -p "$cache" "$archives/partial"
exec > >(tee "$log") 2>&1

# ---- running steps, and the way out ------------------------------------------------------------

step() {
  current_step=$1
  shift
  local t0=$SECONDS
  printf '\n== %s\n' "$current_step"
  "$@"
  summary+=("$(printf '%-28s %5d s' "$current_step" $((SECONDS - t0)))")
  printf '== %s: %d s\n' "$current_step" $((SECONDS - t0))
}

# Runs a command inside the system under test with a fresh user's environment.
in_system() {
  local trust=()
  [ ! -f "$root/etc/ssl/machine/ca-certificates.crt" ] ||
    trust=(NODE_EXTRA_CA_CERTS=/etc/ssl/machine/ca-certificates.crt)
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${trust[@]}" "$@"
}

cleanup() {
  [ -n "$root" ] || return 0
  # Processes left inside (an Xvfb of an interrupted smoke test) would keep the mounts busy.
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" != "$root" ] || kill -KILL "${proc#/proc/}" 2>/dev/null || true
  done
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" ||
      echo "fresh-check: could not unmount ${mounts[i]}" >&2
  done
  mounts=()
  # Never delete through a mount that is still there.
  if awk -v r="$root/" 'index($2 "/", r) == 1 {found = 1} END {exit !found}' /proc/mounts; then
    echo "fresh-check: mounts remain under $root; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}

on_exit() {
  local rc=$?
  trap - EXIT INT TERM HUP
  cleanup
  printf '\n'
  local line
  for line in "${summary[@]}"; do echo "   $line"; done
  if [ "$rc" -eq 0 ]; then
    echo "fresh-check $suite: passed in $((SECONDS - start)) s"
  else
    # A download failure must read as one, not as a broken project.
    if grep -qE "Failed to fetch|Couldn't download|Temporary failure resolving|Could not resolve|\
Unable to fetch|Hash Sum mismatch|Connection (failed|timed out)|Unable to connect" "$log"; then
      echo "fresh-check $suite: FAILED: a download failed (mirror $mirror):"
      grep -E "Failed to fetch|Couldn't download|Temporary failure resolving|Could not resolve|\
Unable to fetch|Hash Sum mismatch|Connection (failed|timed out)|Unable to connect" "$log" |
        head -n 3 | sed 's/^/   /'
    fi
    echo "fresh-check $suite: FAILED in step \"$current_step\" (exit code $rc) after" \
      "$((SECONDS - start)) s; the whole log is $log"
  fi
  exit "$rc"
}
trap on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mount_in_system() { # TYPE-OR-bind SOURCE TARGET-INSIDE [OPTIONS]
  local target=$root$3
  if [ "$1" = bind ] && [ ! -d "$2" ]; then
    touch "$target"
  else
    mkdir -p "$target"
  fi
  if [ "$1" = bind ]; then
    mount --bind "$2" "$target"
  else
    mount -t "$1" ${4:+-o "$4"} "$2" "$target"
  fi
  mounts+=("$target")
}

# ---- the steps -------------------------------------------------------------------------------

host_tools() {
  local missing=()
  command -v debootstrap >/dev/null || missing+=(debootstrap)
  command -v git >/dev/null || missing+=(git)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing on this machine: ${missing[*]}"
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
      --no-install-recommends "${missing[@]}" >/dev/null
  fi
  debootstrap --version
}

# The Debian mirror this machine's apt uses, as apt itself reads its sources: the URI that serves
# this release's main suite, and the one that serves its security suite.
find_mirror() {
  local codename targets
  # shellcheck disable=SC1091
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  # shellcheck disable=SC2016 # apt's own placeholders
  targets=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' || true)
  mirror=$(awk -v c="$codename" '$2 == c { sub("/$", "", $1); print $1; exit }' <<<"$targets")
  security_mirror=$(awk -v c="$codename-security" '$2 == c { sub("/$", "", $1); print $1; exit }' \
    <<<"$targets")
  if [ -z "$mirror" ]; then
    mirror=http://deb.debian.org/debian
    echo "No Debian mirror for \"$codename\" in this machine's apt sources; using $mirror"
  fi
  security_mirror=${security_mirror:-${mirror%/debian}/debian-security}
  echo "mirror: $mirror (security: $security_mirror)"
}

# debootstrap takes minutes, so its result is kept; a month-old base is made anew.
base_system() {
  if [ -f "$base_tarball" ] && [ -z "$(find "$base_tarball" -mtime +30)" ]; then
    echo "cached: $base_tarball"
    return 0
  fi
  local target
  target=$(mktemp -d /var/tmp/helicoid-debootstrap.XXXXXX)
  root=$target # so that an interrupted debootstrap is cleaned up like a system under test
  debootstrap --variant=minbase --cache-dir="$archives" "$suite" "$target" "$mirror"
  tar -C "$target" -czf "$base_tarball.tmp" .
  mv "$base_tarball.tmp" "$base_tarball"
  cleanup
  root=
  du -h "$base_tarball"
}

prepare_system() {
  root=$(mktemp -d /var/tmp/helicoid-fresh.XXXXXX)
  tar -C "$root" -xzf "$base_tarball"
  chmod 755 "$root" # mktemp's 0700 (also in the tarball): apt's _apt must reach the files
  cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb $security_mirror $suite-security main
EOF
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  # The machine's certificate authorities, like its resolver: where the way out to the npm
  # registry passes a proxy with an authority of its own, npm inside needs it as npm here does.
  if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
    mkdir -p "$root/etc/ssl/machine"
    cp -L /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/machine/ca-certificates.crt"
  fi
  # Packages must not start services in a chroot.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  mount_in_system proc proc /proc
  # A device directory of its own, as debootstrap makes one inside a container.
  mount_in_system tmpfs dev /dev mode=0755
  local device
  for device in null zero full random urandom tty; do
    mount_in_system bind "/dev/$device" "/dev/$device"
  done
  # Terminals of its own, for apt's log and anything else that opens one.
  mount_in_system devpts devpts /dev/pts newinstance,ptmxmode=0666,mode=0620
  ln -s pts/ptmx "$root/dev/ptmx"
  mount_in_system tmpfs shm /dev/shm mode=1777
  ln -s /proc/self/fd "$root/dev/fd"
  # The standard streams by name, as every Linux system has them (the tools are tested writing to
  # /dev/stdout).
  ln -s /proc/self/fd/0 "$root/dev/stdin"
  ln -s /proc/self/fd/1 "$root/dev/stdout"
  ln -s /proc/self/fd/2 "$root/dev/stderr"
  mount_in_system bind "$archives" /var/cache/apt/archives
  # apt downloads as its own user, whose id is the system's, not this machine's.
  in_system chown _apt:root /var/cache/apt/archives/partial
  echo "system under test: $root"
}

clone_repository() {
  local commit
  commit=$(git -C "$repo" rev-parse HEAD)
  if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "note: uncommitted changes in $repo are not part of the check"
  fi
  git clone --quiet --no-checkout "$repo" "$root/root/helicoid"
  git -C "$root/root/helicoid" checkout --quiet --detach "$commit"
  git -C "$root/root/helicoid" log -1 --format='commit %h %s'
}

# The README's run command on a private Xvfb. Only the check's own screen is installed first: an
# X server with the core fonts a desktop's X server has (a server reads its font path when it
# starts, so fonts installed later stay unseen) and the tools that look at it. scripts/run.sh
# installs everything else, so its own package list is what is proved.
run_smoke_test() {
  in_system apt-get update -qq
  in_system DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    xvfb xfonts-base x11-utils xdotool imagemagick >/dev/null
  in_system bash -c 'cd /root/helicoid && scripts/run-smoke.sh'
}

test_suite() {
  in_system bash -c 'cd /root/helicoid && scripts/test.sh'
}

# The README's package command, then the .deb on a second pristine system, where apt-get must
# resolve its dependencies; tests/package/deb_in_pristine.sh checks the installed program and
# files and what apt-get remove leaves.
package_in_pristine_system() {
  local built deb=$cache/$suite-helicoid.deb
  in_system bash -c 'cd /root/helicoid && scripts/install-deps.sh && cmake --preset release >/dev/null &&
    cmake --build --preset release --target package'
  built=$(find "$root/root/helicoid/build/release" -maxdepth 1 -name 'helicoid_*.deb')
  if [ -z "$built" ] || [ "$(wc -l <<<"$built")" -ne 1 ]; then
    echo "fresh-check: expected one helicoid_*.deb, found: $built" >&2
    return 1
  fi
  cp "$built" "$deb"
  cleanup
  prepare_system
  clone_repository
  cp "$deb" "$root/root/$(basename "$built")"
  in_system bash /root/helicoid/tests/package/deb_in_pristine.sh "/root/$(basename "$built")"
}

main() {
  step "tools on this machine" host_tools
  step "mirror" find_mirror
  step "base system ($suite)" base_system
  step "system under test" prepare_system
  step "clean clone" clone_repository
  step "run command (smoke test)" run_smoke_test
  step "test command" test_suite
  step "package on a pristine system" package_in_pristine_system
}

# One line, so that bash has read the whole script before it runs any of it: an edit to this file
# during a run cannot change what the run does.
main; exit
