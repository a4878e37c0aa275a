#!/usr/bin/env bash
# Plays the autoplay race for the seeds FIRST to LAST, two at a time, and
# prints one line per seed (won in m:ss.mmm, or caught at m:ss.mmm with the
# signs down) and then how many it won.
#
#   scripts/autoplay-survey.sh FIRST LAST
#
# The game comes from a release build (build/rel, override with ZARVIK); the
# window is small (ZARVIK_WINDOW, default 64x48): the race is the same in
# every window size. ZARVIK_LEVEL names a level (a name or a level file) to
# race instead of the first. Without a display the races run under one
# virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 2 ] || ! [[ "$1" =~ ^[0-9]+$ && "$2" =~ ^[0-9]+$ ]] || [ "$1" -gt "$2" ]; then
  echo "usage: $0 FIRST LAST   (seeds, FIRST <= LAST)" >&2
  exit 2
fi
first=$1
last=$2
game=${ZARVIK:-build/rel/game/zarvik}
window=${ZARVIK_WINDOW:-64x48}
level=${ZARVIK_LEVEL:-}
if [ ! -x "$game" ]; then
  echo "$game: no such game; build it first:" >&2
  echo "  cmake -S . -B build/rel -DCMAKE_BUILD_TYPE=Release && cmake --build build/rel -j2 --target zarvik assets" >&2
  exit 2
fi

. scripts/xvfb.sh
start_virtual_display

logs=$(mktemp -d)
trap 'rm -rf "$logs"; kill "${XVFB_PID:-}" 2>/dev/null || true' EXIT

# One race: its autoplay lines into the seed's log.
race() {
  "$game" --autoplay --seed "$1" --window "$window" --no-multisampling ${level:+--level "$level"} 2>&1 |
    grep '^autoplay:' >"$logs/$1" || true
}
export -f race
export game window level logs
seq "$first" "$last" | xargs -P 2 -I{} bash -c 'race {}'

won=0
for seed in $(seq "$first" "$last"); do
  result=$(grep -E '^autoplay: (won|caught)' "$logs/$seed" | tail -n 1 | sed 's/^autoplay: //')
  signs=$(grep -c '^autoplay: sign dismantled' "$logs/$seed" || true)
  case "$result" in
    won*) won=$((won + 1)) ;;
    caught*) ;;
    *) result="no result ($signs signs down)" ;;
  esac
  printf 'seed %3d  %s\n' "$seed" "$result"
done
echo "won $won of $((last - first + 1))"
