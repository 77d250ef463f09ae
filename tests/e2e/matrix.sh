#!/usr/bin/env bash
# The end-to-end scenarios by platform: each run of scenarios.sh leaves its column in
# WORK_DIR/matrix.tsv; this prints them side by side, one scenario a line.
#
#   matrix.sh [PLATFORM=WORK_DIR...]
#
# Without arguments, the work directories that scripts/test.sh's CTest runs use. A platform whose
# run left no column says so in each of its cells; "-" is a condition the platform does not have.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ $# -eq 0 ]; then
  set -- "native=$root/build/debug/e2e/native" "Wayland=$root/build/debug/e2e/wayland" \
    "Wine=$root/build/debug/e2e/wine" \
    "page=$root/build/debug/e2e/web" "phone=$root/build/debug/e2e/web-phone" \
    "subset=$root/build/subset/e2e/native"
fi
names=()
for column in "$@"; do names+=("${column%%=*}"); done
for ((i = 1; i <= $#; i++)); do
  column=${!i}
  file="${column#*=}/matrix.tsv"
  [ -f "$file" ] && awk -v i="$i" '{ print i "\t" $0 }' "$file"
done | awk -F'\t' -v names="${names[*]}" '
  # A cell is its verdict; its reason, if any, becomes a numbered note below the table.
  function short(text, verdict, why) {
    verdict = text
    sub(/[ (:].*/, "", verdict)
    why = substr(text, length(verdict) + 1)
    if (why ~ /^ \(/) sub(/\)$/, "", why)
    sub(/^[ (:]+/, "", why)
    if (why == "") return verdict
    if (!(why in note)) { note[why] = ++notes; notelist[notes] = why }
    return verdict " [" note[why] "]"
  }
  { if (!($2 in seen)) { seen[$2] = 1; rows[++r] = $2 } cell[$2, $1] = short($3); ran[$1] = 1 }
  END {
    n = split(names, name, " ")
    line = sprintf("%-22s", "scenario")
    for (i = 1; i <= n; i++) line = line sprintf(" | %-10s", name[i])
    print line
    for (j = 1; j <= r; j++) {
      line = sprintf("%-22s", rows[j])
      for (i = 1; i <= n; i++)
        line = line sprintf(" | %-10s", (rows[j], i) in cell ? cell[rows[j], i] : i in ran ? "-" : "no run")
      print line
    }
    for (k = 1; k <= notes; k++) print "[" k "] " notelist[k]
  }'
