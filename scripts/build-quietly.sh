#!/bin/sh
# Builds the named targets of BUILD_DIR with one progress line that rewrites
# itself, instead of a line per object. The whole log goes to
# BUILD_DIR/run-build.log; on failure its errors are shown.
# Usage: build-quietly.sh BUILD_DIR JOBS TARGET...
set -u
build=$1 jobs=$2
shift 2
log="$build/run-build.log"
mkdir -p "$build"
cmake --build "$build" -j"$jobs" --target "$@" > "$log" 2>&1 &
pid=$!
tty=false
[ -t 1 ] && tty=true
last=""
while kill -0 "$pid" 2>/dev/null; do
  done_pct=$(grep -o '^\[ *[0-9]*%\]' "$log" 2>/dev/null | tail -n 1 | tr -dc '0-9')
  if $tty && [ -n "$done_pct" ] && [ "$done_pct" != "$last" ]; then
    printf '\rBuilding %s: %s%% ' "$*" "$done_pct"
    last=$done_pct
  fi
  sleep 1
done
wait "$pid"
rc=$?
$tty && printf '\r'
if [ "$rc" -ne 0 ]; then
  echo "The build failed; the errors (whole log: $log):"
  grep -E 'error|Error' -A3 "$log" | head -n 40
  exit "$rc"
fi
echo "Built $* (log: $log)."
