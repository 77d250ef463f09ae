#!/usr/bin/env bash
# Counts instructions instead of timing: each frame mode runs under callgrind for N and for 2N
# frames of the same poses, and the difference divided by N is one frame's cost, with start-up
# and exit cancelled out. Also counts the quiet viewer and the viewer's start-up, and sets the
# viewer's frame against the lit bare loop's, function by function. Writes its section of
# bench/RESULTS.md.  Usage: bench/count.sh [N] [REPEATS] [SKIP]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-12}
repeats=${2:-2}
# Both runs draw SKIP frames more than N and 2N and count from frame SKIP on: llvmpipe compiles
# code for new kinds of work in the early frames, the viewer's last time in frame 23 (a vertex
# program of about 1.2e9 instructions, when its accumulated rotation stops passing Mesa's test for
# a length-preserving matrix), and what a compile costs varies by millions of instructions with the
# heap's layout (LLVM's tables hash pointers). Counted, it would not cancel out.
skip=${3:-24}
short=$((skip + n))
long=$((skip + 2 * n))
quiet_seconds=10

# shellcheck source-path=SCRIPTDIR
source bench/common.sh
counting_setup
xvfb_start "$work"

# A run's count from frame SKIP to its last frame is its last part: the viewer's start-up parts
# are dumped on the way, what came before is dropped, and the exit (whose frees cost what the
# heap's layout makes them) is not counted. A child that the process forks at start-up (about 1e7
# instructions, then exec) writes the same file first; the main process replaces it at exit.

log=$work/log
for rep in $(seq "$repeats"); do
  for mode in viewer bare-lit bare; do
    for frames in "$short" "$long"; do
      line=$(callgrind "$work/$mode-$rep-$frames.out" "$bench" --"$mode" --frames "$frames" \
        --count-from "$skip")
      echo "rep=$rep $line instructions_counted=$(part "$work/$mode-$rep-$frames.out")" | tee -a "$log"
    done
  done
done
# Start-up parts come from the viewer's first short run: dump 1 ends at the information box,
# dump 2 at the first frame's SwapBuffers.
startup_box=$(part "$work/viewer-1-$short.out.1")
startup_frame=$(part "$work/viewer-1-$short.out.2")
quiet_line=$(callgrind "$work/quiet.out" "$bench" --quiet "$quiet_seconds")
quiet=$(part "$work/quiet.out.3")
echo "$quiet_line quiet_instructions=$quiet" | tee -a "$log"

# Per-frame inclusive cost of every function, viewer and lit bare loop, from the first repeat.
per_frame() { # FILE_2N FILE_N -> "count<TAB>function" per frame
  for f in "$1" "$2"; do
    callgrind_annotate --inclusive=yes --threshold=100 "$f" 2>/dev/null |
      awk -v sign="$([ "$f" = "$1" ] && echo 1 || echo -1)" \
        '/^ *[0-9,]+ \([ 0-9.]+%\)  / { c = $1; gsub(",", "", c); sub(/^ *[0-9,]+ \([ 0-9.]+%\)  /, ""); print sign * c "\t" $0 }'
  done | awk -F'\t' -v n="$n" '{ s[$2] += $1 } END { for (f in s) printf "%.0f\t%s\n", s[f] / n, f }'
}
per_frame "$work/viewer-1-$long.out" "$work/viewer-1-$short.out" | sort -t$'\t' -k2 >"$work/viewer.pf"
per_frame "$work/bare-lit-1-$long.out" "$work/bare-lit-1-$short.out" | sort -t$'\t' -k2 >"$work/lit.pf"
# One frame's pieces, by the functions that hold them (inclusive). Mesa's own functions have no
# symbols in Debian's build, so the GL calls are counted in the viewer's functions that make them.
cost() { awk -F'\t' -v re="$2" '$2 ~ re { print $1; found = 1; exit } END { if (!found) print 0 }' "$1"; }
v() { cost "$work/viewer.pf" "$1"; }
l() { cost "$work/lit.pf" "$1"; }
row() { # LABEL VIEWER LIT (- where the lit bare loop has no such piece)
  if [ "$3" = - ]; then printf '| %s | %s | | |\n' "$1" "$2"; else printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$(($2 - $3))"; fi
}
loop=$(($(v ':PeekMessageA\\(') + $(v ':GetMessageA\\(') + $(v ':DispatchMessageA\\(')))
frame=$(v ':draw_frame\\(')
mesh=$(v ':draw_mesh\\(')
materials=$(v ':apply_materials\\(')
spin=$(v ':apply_spin_increment\\(')
swap=$(v ':SwapBuffers\\(')
lit_frame=$(($(l ':main \\[') - $(l ':SDL_PollEvent \\[')))
# Markdown's backquotes, not command substitution.
# shellcheck disable=SC2016
attribution=$(
  row 'whole frame: `WinMain` / the lit bare loop'"'"'s `main`' "$(v ':WinMain\\(')" "$(l ':main \\[')"
  row 'message loop: `PeekMessageA`, `GetMessageA`, `DispatchMessageA` / `SDL_PollEvent`' "$loop" "$(l ':SDL_PollEvent \\[')"
  row '&nbsp;&nbsp;of which event pumping: `pump_events` / `SDL_PollEvent`' "$(v 'win32_core::pump_events\\(')" "$(l ':SDL_PollEvent \\[')"
  row 'idle protocol: `idle_redraw` less its frame' "$(($(v ':idle_redraw\\(') - frame))" -
  row 'the frame: `draw_frame` / the rest of `main`' "$frame" "$lit_frame"
  row '&nbsp;&nbsp;mesh: `draw_mesh` (the lit bare loop sends the same inline)' "$mesh" -
  row '&nbsp;&nbsp;materials: `apply_materials` (the lit bare loop: once, before its first frame)' "$materials" -
  row '&nbsp;&nbsp;rotation and matrix read-back: `apply_spin_increment`' "$spin" -
  row '&nbsp;&nbsp;present: `SwapBuffers` (the frame'"'"'s `glFlush` has rasterised already)' "$swap" -
  row '&nbsp;&nbsp;the rest: clear, per-frame GL state, light positions, `glFlush` and rasterising' "$((frame - mesh - materials - spin - swap))" -
)

mesa=$(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown)
depth=$(awk '/mode=viewer/ { for (i = 1; i <= NF; i++) if ($i ~ /^depth_bits=/) { split($i, kv, "="); print kv[2]; exit } }' "$log")
quiet_counted=$(echo "$quiet_line" | sed -n 's/.*counted_seconds=\([0-9.]*\).*/\1/p')
table=$(awk -v n="$n" -v s="$short" -v g="$long" -v qs="$quiet_counted" -v sb="$startup_box" -v sf="$startup_frame" -v q="$quiet" '
  function val(key,   i, kv) { for (i = 1; i <= NF; i++) { split($i, kv, "="); if (kv[1] == key) return kv[2] } return "" }
  /mode=/ && val("frames") != "" {
    r = val("rep"); m = val("mode"); f = val("frames"); c[r, m, f] = val("instructions_counted"); reps[r] = 1
  }
  END {
    printf "| repeat | viewer, instructions/frame | lit bare loop | bare loop | viewer / lit bare | viewer / bare |\n|---|---|---|---|---|---|\n"
    for (r = 1; r in reps; r++) {
      v = (c[r, "viewer", g] - c[r, "viewer", s]) / n
      l = (c[r, "bare-lit", g] - c[r, "bare-lit", s]) / n
      b = (c[r, "bare", g] - c[r, "bare", s]) / n
      printf "| %d | %.0f | %.0f | %.0f | %.4f | %.4f |\n", r, v, l, b, v / l, v / b
      if (r == 1) { v1 = v; l1 = l } else { dv = 100 * (v - v1) / v1; dl = 100 * (l - l1) / l1 }
    }
    if (r > 2) printf "\nRepeat 2 against repeat 1: viewer %+.3f%%, lit bare loop %+.3f%%.\n", dv, dl
    printf "\n| quiet viewer, instructions per second (over %.1f s from its last frame) | %.0f |\n|---|---|\n", qs, q / qs
    printf "| start-up, process start to the information box, instructions | %s |\n", sb
    printf "| start-up, information box dismissed to the first frame presented, instructions | %s |\n", sf
  }' "$log")

section=$work/section
{
  echo "## Instructions counted"
  echo
  echo "Counted with \`bench/count.sh $n $repeats $skip\` on $(date -u '+%Y-%m-%d %H:%M UTC'): callgrind"
  echo "($(valgrind --version)), Mesa $mesa, $(grep -m1 -o 'renderer="[^"]*"' "$log" | cut -d= -f2)"
  echo "with LP_NUM_THREADS=0 on $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //') (the JIT's code and"
  echo "glibc's string functions follow the processor: compare counts from one kind only), Xvfb at"
  echo "1024x768x24, a 614x614 window with $depth depth bits, release"
  echo "build. A frame's cost is the count of the $long-frame run less that of the $short-frame run of the same"
  echo "poses, divided by $n. Both runs count from frame $skip on: llvmpipe compiles code for new kinds"
  echo "of work in the early frames (the viewer's last, about 1.2e9 instructions, in frame 23 at 16 depth"
  echo "bits), at a cost that varies by millions of instructions with the heap's layout."
  echo
  echo "$table"
  echo
  echo "One frame by function (inclusive instructions per frame from repeat 1, by the same N and 2N"
  echo "difference; the rows below \"the frame\" are the viewer's only, as the bare loop's frame is"
  echo "inline in its \`main\` and rasterises in its swap rather than in a \`glFlush\`):"
  echo
  echo "| piece | viewer | lit bare loop | difference |"
  echo "|---|---|---|---|"
  echo "$attribution"
  echo
  cat <<'TXT'
Reading the counts:
- Under callgrind a frame takes more than the viewer's 100 ms timer period, so every counted frame
  of the viewer also handles one WM_TIMER (`GetMessageA`, `DispatchMessageA` and the default
  window procedure). At native frame rates that happens about once in 45 frames: the message
  loop's share above is an upper bound.
- The viewer and the lit bare loop draw the same poses with different GL calls: the viewer also
  sends its per-frame state (the fog switch; texturing, culling, lighting and the depth test on
  and off; six light positions; eight material values), accumulates the rotation in its own
  matrix and reads it back, and calls `glFlush` before the swap; the bare loop loads each pose
  with one `glRotatef`. Those calls stay as they are, and they are what separates the two frames
  (Debian's Mesa has no symbols, so the table cannot split them further). The native layer's
  whole share (message loop, event pumping, `SwapBuffers`' own checks) is a few thousand
  instructions a frame, under 0.03%.
- The bare loop leaves lighting off; the viewer's cost over it is lighting's (seven lights, two
  sided, computed per vertex), not the loop's.
- The quiet viewer wakes for its timer ten times a second; each wake is one pass through
  `GetMessageA`, `DispatchMessageA` and the default window procedure.
TXT
  raw_lines "$log"
} >"$section"
bench/results_section.sh counts "$section"
cat "$section"
rm -rf "$work"
