#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer into build/test, and runs every test under a
# virtual X server when no display is set.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
. scripts/xvfb.sh

build=${ZARVIK_TEST_BUILD:-build/test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVIK_SANITIZE=ON -DZARVIK_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

start_virtual_display
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
