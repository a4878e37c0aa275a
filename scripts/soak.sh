#!/usr/bin/env bash
# Soak test (not run by CI): plays the game by itself (zarvik --autoplay) again
# and again for MINUTES minutes under a virtual X server (or the current
# display) and prints the game's resident memory (VmRSS) every minute.
# A run ends with exit code 0 (won) or 3 (caught); anything else is a failure.
# Builds the game into build/ first, as play.sh does, unless ZARVIK_BUILD names
# a build folder that already holds game/zarvik.
#
#   scripts/soak.sh 60            # an hour
#   ZARVIK_BUILD=build/test scripts/soak.sh 10
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-}
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/soak.sh MINUTES" >&2
  exit 2
fi

build=${ZARVIK_BUILD:-build}
game="$build/game/zarvik"
if [ ! -x "$game" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVIK_TESTS=OFF -DZARVIK_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target zarvik assets
fi

. scripts/xvfb.sh
start_virtual_display

log=$(mktemp -d "${TMPDIR:-/tmp}/zarvik-soak-XXXXXX")
echo "soak: $minutes min of '$game --autoplay' on $DISPLAY; game output in $log"

end=$(( $(date +%s) + minutes * 60 ))
next_report=$(( $(date +%s) + 60 ))
minute=0 runs=0 wins=0 caught=0 failures=0 pid=""

rss_of() { awk '/^VmRSS:/ { print $2 " kB" }' "/proc/$1/status" 2>/dev/null || true; }

stop_game() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}
trap 'stop_game; kill "${XVFB_PID:-}" 2>/dev/null || true' EXIT

while [ "$(date +%s)" -lt "$end" ]; do
  runs=$((runs + 1))
  # In a sanitizer build a leak at the end of a run fails the run (exit code
  # 23, the report in its log); the suppressions cover driver libraries only.
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0" \
    "$game" --autoplay >"$log/run-$runs.log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    now=$(date +%s)
    if [ "$now" -ge "$next_report" ]; then
      minute=$((minute + 1))
      next_report=$((next_report + 60))
      echo "minute $minute: run $runs (pid $pid) VmRSS $(rss_of "$pid")"
    fi
    if [ "$now" -ge "$end" ]; then
      stop_game
      break
    fi
    sleep 1
  done
  [ "$(date +%s)" -ge "$end" ] && { runs=$((runs - 1)); break; }  # cut short: no verdict
  code=0
  wait "$pid" || code=$?
  case "$code" in
    0) wins=$((wins + 1)); rm -f "$log/run-$runs.log" ;;
    3) caught=$((caught + 1)); rm -f "$log/run-$runs.log" ;;
    *) failures=$((failures + 1)); echo "run $runs ended with exit code $code (output in $log/run-$runs.log)" ;;
  esac
  pid=""
done

echo "soak: $runs finished runs: $wins won, $caught caught, $failures failed"
[ "$failures" -eq 0 ]
