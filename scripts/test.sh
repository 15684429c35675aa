#!/usr/bin/env bash
# Installs what is missing, builds everything with the tests, and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DFERIO_TESTS=ON
cmake --build build-tests -j2
cd build-tests
# A test that fails is run once more before the run fails: the desktop tests click through a
# real X server, where a click can be lost on a loaded machine.
ctest --output-on-failure -j2 --timeout 600 --repeat until-pass:2
