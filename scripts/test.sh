#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer into build/test, and runs every test under a
# virtual X server when no display is set. Arguments go to ctest
# (-L fast: the quick loop; -R NAME: one program). Prints how long each
# step took.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

took() { echo "test.sh: $1 took $SECONDS s"; SECONDS=0; }

SECONDS=0
scripts/deps.sh
took "installing packages"
. scripts/xvfb.sh

build=${ZARVIK_TEST_BUILD:-build/test}
# Ninja compiles a program's sources while the libraries it links are still
# being compiled, so both cores stay busy to the end of the build. A folder
# configured with another generator is configured afresh.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt"; then
  echo "test.sh: $build was made with another CMake generator; making it afresh with Ninja"
  rm -rf "$build"
fi
cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVIK_SANITIZE=ON -DZARVIK_FUZZ=ON >/dev/null
took "configuring"
cmake --build "$build" -j "$(nproc)"
took "building"

start_virtual_display
cd "$build"
status=0
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
took "testing"
exit $status
