#!/usr/bin/env bash
# Lets the autoplay race on many levels, or with many seeds, two races at a
# time, and prints one line per race (won in m:ss.mmm, or caught at m:ss.mmm
# with the signs down) and then how many it won.
#
#   scripts/autoplay-survey.sh LEVEL.toml...          each level file, --seed 1
#   scripts/autoplay-survey.sh [--shape S] FIRST LAST  the level maker's levels of the seeds
#                                                      FIRST to LAST (shape hills, valley or
#                                                      pass), each made into a temporary folder
#   scripts/autoplay-survey.sh --seeds FIRST LAST [LEVEL]  the game's seeds FIRST to LAST on one
#                                                      level (a name or a file; default: the demo)
#
# The game and the asset kit come from a release build (build/rel, override
# with ZARVIK and ASSETGEN); the window is small (ZARVIK_WINDOW, default
# 64x48): a race is the same in every window size. A race that has not ended
# after ZARVIK_RACE_SECONDS (default 600) is stopped and counts as no result. The races keep their
# settings, records and ghosts in a temporary home, so the player's stay as
# they are. Without a display the races run under one virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 LEVEL.toml...  |  $0 [--shape hills|valley|pass] FIRST LAST  |  $0 --seeds FIRST LAST [LEVEL]" >&2
  echo "  (FIRST <= LAST, whole numbers)" >&2
  exit 2
}
seeds_ok() { [[ "$1" =~ ^[0-9]+$ && "$2" =~ ^[0-9]+$ ]] && [ "$1" -le "$2" ]; }

game=${ZARVIK:-build/rel/game/zarvik}
assetgen=${ASSETGEN:-build/rel/tools/assetgen/assetgen}
window=${ZARVIK_WINDOW:-64x48}
limit=${ZARVIK_RACE_SECONDS:-600}
work=$(mktemp -d)
trap 'rm -rf "$work"; kill "${XVFB_PID:-}" 2>/dev/null || true' EXIT
mkdir -p "$work/home/config" "$work/home/data" "$work/logs"

# The races, one a line: a label, the game's seed and the level (empty: the game's own choice).
races=$work/races
shape=hills
if [ "${1:-}" = "--shape" ]; then
  [ $# -ge 2 ] || usage
  shape=$2
  shift 2
  [[ "$shape" =~ ^(hills|valley|pass)$ ]] || usage
fi
if [ "${1:-}" = "--seeds" ]; then
  [ $# -eq 3 ] || [ $# -eq 4 ] || usage
  seeds_ok "$2" "$3" || usage
  for seed in $(seq "$2" "$3"); do printf 'seed %s\t%s\t%s\n' "$seed" "$seed" "${4:-demo}"; done >"$races"
elif [ $# -eq 2 ] && [[ "$1$2" =~ ^[0-9]+$ ]]; then
  seeds_ok "$1" "$2" || usage
  if [ ! -x "$assetgen" ]; then
    echo "$assetgen: no such asset kit; build it first (cmake --build build/rel --target assetgen)" >&2
    exit 2
  fi
  for seed in $(seq "$1" "$2"); do
    "$assetgen" --level "$seed" "$work/levels/$seed" --shape "$shape" >/dev/null ||
      { echo "$assetgen could not make the level of seed $seed" >&2; exit 1; }
    name=$(sed -n 's/^name = "\(.*\)"$/\1/p' "$work/levels/$seed/level.toml" | head -n 1)
    printf '%s %s (%s)\t1\t%s\n' "$shape" "$seed" "$name" "$work/levels/$seed/level.toml"
  done >"$races"
elif [ $# -ge 1 ]; then
  for file in "$@"; do
    [ -f "$file" ] || { echo "$file: no such level file" >&2; exit 2; }
    printf '%s\t1\t%s\n' "$file" "$(realpath "$file")"
  done >"$races"
else
  usage
fi
if [ ! -x "$game" ]; then
  echo "$game: no such game; build it first:" >&2
  echo "  cmake -S . -B build/rel -DCMAKE_BUILD_TYPE=Release && cmake --build build/rel -j2 --target zarvik assets" >&2
  exit 2
fi

. scripts/xvfb.sh
start_virtual_display

# One race: the game's output into the race's log, its exit status after it.
race() {
  local number=$1 seed=$2 level=$3 status=0
  XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
    timeout "$limit" "$game" --autoplay --seed "$seed" --level "$level" --window "$window" --no-multisampling \
    >"$work/logs/$number" 2>&1 </dev/null || status=$?
  printf '\nstatus %s\n' "$status" >>"$work/logs/$number"
}
# Two races at a time (the virtual X server is a child of this shell too:
# wait for the races by their ids).
racing=()
number=0
while IFS=$'\t' read -r _ seed level; do
  if [ "${#racing[@]}" -ge 2 ]; then
    wait "${racing[0]}"
    racing=("${racing[@]:1}")
  fi
  number=$((number + 1))
  race "$number" "$seed" "$level" &
  racing+=($!)
done <"$races"
[ "${#racing[@]}" -eq 0 ] || wait "${racing[@]}"

won=0
count=0
while IFS=$'\t' read -r label _ _; do
  count=$((count + 1))
  log=$work/logs/$count
  status=$(sed -n 's/^status //p' "$log")
  result=$(grep -aE '^autoplay: (won|caught)' "$log" | tail -n 1 | sed 's/^autoplay: //' || true)
  signs=$(grep -ac '^autoplay: sign dismantled' "$log" || true)
  case "$status" in
    0) won=$((won + 1)) ;;
    3) ;;
    124) result="no result (stopped after $limit s, $signs signs down)" ;;
    *) result="no result (exit status $status, $signs signs down): $(grep -av '^status ' "$log" | grep -a . | tail -n 1 || true)" ;;
  esac
  printf '%-40s %s\n' "$label" "${result:-no result}"
done <"$races"
echo "won $won of $count"
