#!/bin/sh
# Many rounds of the killed-save test: a data file of 500 books of 200
# tickets (about 6 MB) saved over and over by a process that is killed with
# SIGKILL at a random moment; after each kill the file must be the old or the
# new version whole, and so is its backup, with the history on and off in
# turn. The test suite runs a few rounds; this runs many.
# Usage: kill-save-loop.sh [BUILD_DIR] [ROUNDS] [SEED]
set -eu
build=${1:-build}
rounds=${2:-500}
seed=${3:-$(date +%s)}
echo "kill-save loop: $rounds rounds, seed $seed"
TONNAGE_KILL_ROUNDS=$rounds TONNAGE_KILL_SEED=$seed exec "$build/tests/core_tests" \
  --gtest_filter='KilledSave.*'
