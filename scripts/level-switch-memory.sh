#!/bin/bash
# Loads levels one after the other with the l key, ten times, and prints the
# game's peak and present resident memory (VmHWM, VmRSS) after each load:
# a level switch that kept what the old level held would raise them every time.
#   scripts/level-switch-memory.sh [GAME [OPTIONS...]]   (default build/rel/game/zarvik; needs xdotool)
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/rel/game/zarvik}")
shift || true
. scripts/xvfb.sh
start_virtual_display
out=$(mktemp)
home=$(mktemp -d)
trap 'rm -rf "$out" "$home"' EXIT
cd "$(dirname "$game")"
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data ./zarvik --window 800x600 "$@" >"$out" 2>&1 &
pid=$!
loads() { grep -a -c "Level loaded successfully" "$out" || true; }
waitForLoads() { for _ in $(seq 1 1200); do [ "$(loads)" -ge "$1" ] && return; sleep 0.1; done; }
memory() { echo "load $1: $(grep VmHWM /proc/$pid/status | tr -s ' \t' ' ') $(grep VmRSS /proc/$pid/status | tr -s ' \t' ' ')"; }
waitForLoads 1
sleep 2
memory 1
window=$(xdotool search --pid $pid --name Zarvik | head -1)
for n in $(seq 2 11); do
  xdotool windowfocus "$window" key l
  waitForLoads "$n"
  sleep 2
  memory "$n"
done
xdotool windowfocus "$window" key Escape
wait $pid
