#!/usr/bin/env bash
# The performance guard CI runs: the viewer's frame against the lit bare loop's, in instructions
# counted the way bench/count.sh counts them (runs of SKIP+N and SKIP+2N frames of the same poses
# under callgrind, counted from frame SKIP on, the difference divided by N). Prints both counts
# and fails when the viewer's frame costs more than LIMIT times the lit bare loop's. Counts, never
# time: on one machine and Mesa they repeat to a few instructions a frame.
#   Usage: bench/guard.sh [N] [SKIP] [LIMIT]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-4}
# Past the viewer's last compile, in frame 23 (bench/count.sh says why it must not be counted).
skip=${2:-28}
limit=${3:-1.01}

# shellcheck source-path=SCRIPTDIR
source bench/common.sh
counting_setup

# The four runs at once, uninstrumented up to frame SKIP: the counts do not depend on what else
# runs, and the warm-up frames cost a fraction of their instrumented time. Each run has an X server
# of its own, so that no other run's window, opened or closed over its own, sends it events while
# it counts.
counted_run() { # MODE FRAMES
  local dir=$work/$1-$2
  mkdir "$dir"
  xvfb_start "$dir"
  trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
  callgrind "$dir/out" --instr-atstart=no "$bench" --"$1" --frames "$2" --count-from "$skip" \
    >"$dir/line"
}
runs=()
for mode in viewer bare-lit; do
  for frames in $((skip + n)) $((skip + 2 * n)); do
    counted_run "$mode" "$frames" &
    runs+=($!)
  done
done
failed=0
for run in "${runs[@]}"; do wait "$run" || failed=1; done
if [ "$failed" -ne 0 ]; then
  tail -n 5 "$work"/*/out.log >&2
  exit 1
fi
per_frame() { echo $((($(part "$work/$1-$((skip + 2 * n))/out") - $(part "$work/$1-$((skip + n))/out")) / n)); }
viewer=$(per_frame viewer)
lit=$(per_frame bare-lit)
awk -v v="$viewer" -v l="$lit" -v limit="$limit" -v n="$n" -v skip="$skip" 'BEGIN {
  printf "performance guard: viewer %d instructions a frame, lit bare loop %d, ratio %.5f, limit %s (frames %d to %d under callgrind)\n",
    v, l, v / l, limit, skip + n + 1, skip + 2 * n
  if (l <= 0 || v / l > limit) { print "performance guard: FAILED, the viewer'"'"'s frame costs too much"; exit 1 }
}'
rm -rf "$work"
