#!/bin/sh
# Runs every fuzz target of a fuzz build for a number of seconds each (or the
# targets named in FUZZ_TARGETS), and fails when any of them found a fault.
# Usage: run-fuzz.sh BUILD_DIR SECONDS
set -eu
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
# The targets write small files: memory is faster than a disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
failed=""
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  case " ${FUZZ_TARGETS:-$name} " in *" $name "*) ;; *) continue ;; esac
  work="$build/corpus/$name"
  mkdir -p "$work" "$root/fuzz/corpus/$name"
  # Seeds: the samples, the test data, and inputs kept from earlier findings.
  cp "$root"/samples/*.K81 "$work"/ 2>/dev/null || true
  cp "$root"/fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== $name: $seconds s"
  if ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -max_len=65536 \
    -dict="$root/fuzz/tonnage.dict" -artifact_prefix="$build/$name-" -print_final_stats=1 \
    "$work" 2>"$build/$name.log"; then
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$name.log" || true
  else
    tail -40 "$build/$name.log"
    echo "$name found a fault: keep the input in fuzz/corpus/$name/ and add a test"
    failed="$failed $name"
  fi
done
[ -z "$failed" ] || { echo "faults found by:$failed"; exit 1; }
