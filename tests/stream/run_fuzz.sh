#!/usr/bin/env bash
# Runs the message-stream fuzz target for a while on a fresh corpus and prints what it reached.
# Usage: run_fuzz.sh FUZZER SECONDS WORK_DIR
set -euo pipefail
fuzzer=$1 seconds=$2 work=$3
rm -rf "$work" && mkdir -p "$work/corpus"
# The GL driver keeps allocations for the process's life; leaks are valgrind's to judge.
if ASAN_OPTIONS=detect_leaks=0 "$fuzzer" -max_total_time="$seconds" -max_len=4096 \
     -print_final_stats=1 "$work/corpus" >"$work/fuzz.log" 2>&1; then
  grep -E '^#[0-9]+[[:space:]]+DONE' "$work/fuzz.log" | tail -1
  grep -E '^stat::number_of_executed_units' "$work/fuzz.log"
  echo "fuzz: no failure in $seconds s; corpus of $(ls "$work/corpus" | wc -l) inputs"
else
  tail -60 "$work/fuzz.log"
  echo "fuzz: FAILED (crash input and log in $work)"
  exit 1
fi
