#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the bundled sample routes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
# A first start gets the demonstration's settings: the sample routes, broadcast tables and
# chimes. Settings already there (your own) are kept.
build/bin/ferio-demo-settings build/bin/ferio.in4 build/demo
cd build/demo
exec ../bin/ferio "$@"
