#!/usr/bin/env bash
# The monkey on the real program: N random operations (default 5000) from SEED (default 1).
# The same N and SEED replay the same run; FERIO_MONKEY_TRACE=1 prints every operation, and
# FERIO_XVFB_LOG=FILE / FERIO_WM_LOG=FILE keep what the X server and the window manager say.
set -euo pipefail
cd "$(dirname "$0")/.."
operations=${1:-5000}
seed=${2:-1}
bash scripts/deps.sh
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DFERIO_TESTS=ON
cmake --build build-tests -j2 --target test_monkey
cd build-tests
FERIO_MONKEY_OPERATIONS=$operations FERIO_MONKEY_SEED=$seed SDL_AUDIODRIVER=dummy bin/test_monkey
