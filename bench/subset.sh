#!/usr/bin/env bash
# Frame time of the OpenGL 1.1 subset over ES 2.0 against Mesa's fixed function, side by side:
# the release snapshot tool built both ways spins the model offscreen on llvmpipe, each frame
# finished (glFinish) before the next. A frame's time is the difference between a long and a
# short run over the frames between them, so start-up drops out. Writes bench/SUBSET.md.
#   Usage: bench/subset.sh [ROUNDS] [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-7}
frames=${2:-600}

scripts/install-deps.sh run
cmake --preset subset-release -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset subset-release --target helicoid-snapshot helicoid-snapshot-fixed >/dev/null
subset=build/subset-release/tools/helicoid-snapshot
fixed=build/subset-release/tools/helicoid-snapshot-fixed
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Milliseconds per frame of TOOL over frames 10 to FRAMES.
frame_ms() {
  local t0 t1 t2
  t0=$(date +%s%N)
  "$1" --output "$out/a.png" --spin 10 >/dev/null
  t1=$(date +%s%N)
  "$1" --output "$out/b.png" --spin "$frames" >/dev/null
  t2=$(date +%s%N)
  awk -v short=$((t1 - t0)) -v long=$((t2 - t1)) -v n=$((frames - 10)) \
    'BEGIN { printf "%.3f", (long - short) / n / 1e6 }'
}

log=$(mktemp)
for round in $(seq "$rounds"); do
  # Alternate the order, so that neither always runs on a warmer machine.
  if [ $((round % 2)) -eq 1 ]; then
    f=$(frame_ms "$fixed"); s=$(frame_ms "$subset")
  else
    s=$(frame_ms "$subset"); f=$(frame_ms "$fixed")
  fi
  echo "round=$round fixed_ms=$f subset_ms=$s ratio=$(awk -v s="$s" -v f="$f" 'BEGIN { printf "%.3f", s / f }')" | tee -a "$log"
done

summary=$(awk '
  function val(key,   i, kv) { for (i = 1; i <= NF; i++) { split($i, kv, "="); if (kv[1] == key) return kv[2] } return "" }
  function median(a, n,   i, j, t) { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t } return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
  function spread(a, n,   i, lo, hi) { lo = hi = a[1]; for (i = 2; i <= n; i++) { if (a[i] < lo) lo = a[i]; if (a[i] > hi) hi = a[i] } return sprintf("%.3g to %.3g", lo, hi) }
  { n++; f[n] = val("fixed_ms"); s[n] = val("subset_ms"); r[n] = val("ratio") }
  END {
    printf "| measure | median | spread over %d rounds |\n|---|---|---|\n", n
    printf "| fixed function, ms a frame | %.3f | %s |\n", median(f, n), spread(f, n)
    printf "| subset over ES 2.0, ms a frame | %.3f | %s |\n", median(s, n), spread(s, n)
    printf "| subset / fixed function | %.3f | %s |\n", median(r, n), spread(r, n)
  }' "$log")

{
  echo "# The OpenGL 1.1 subset against fixed function"
  echo
  echo "Measured with \`bench/subset.sh $rounds $frames\` on $(date -u '+%Y-%m-%d %H:%M UTC'):"
  echo "$(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), release build,"
  echo "offscreen 614x614 with 16 depth bits on $("$subset" --output "$out/c.png" | sed 's/.* on //')."
  echo "The model spins (2 degrees a frame) in the default state: lit, filled, no fog."
  echo
  echo "$summary"
  echo
  echo "Raw lines:"
  echo
  echo '```'
  cat "$log"
  echo '```'
} > bench/SUBSET.md
echo
echo "$summary"
rm -f "$log"
