#!/usr/bin/env bash
# Puts FILE into bench/RESULTS.md as the section NAME, replacing that section's previous text, so
# that the counting and the timing benchmarks each keep their own part of the one results file.
# Usage: bench/results_section.sh NAME FILE
set -euo pipefail
cd "$(dirname "$0")"
name=$1
file=$2
begin="<!-- $name: begin -->"
end="<!-- $name: end -->"
[ -f RESULTS.md ] || printf '# Benchmark results\n' >RESULTS.md
new=$(mktemp RESULTS.md.XXXXXX)
if grep -qxF "$begin" RESULTS.md; then
  awk -v begin="$begin" -v end="$end" -v file="$file" '
    $0 == begin { print; while ((getline line < file) > 0) print line; skip = 1; next }
    $0 == end { skip = 0 }
    !skip' RESULTS.md >"$new"
else
  { cat RESULTS.md; echo; echo "$begin"; cat "$file"; echo "$end"; } >"$new"
fi
mv "$new" RESULTS.md
