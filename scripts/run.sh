#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the bundled sample routes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
# The empty default fare-data folder means "the current folder": start among the sample routes.
cd build/samples
exec ../bin/ferio "$@"
