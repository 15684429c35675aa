#!/usr/bin/env bash
# Installs what is missing, builds everything with the tests and runs the whole suite; then the
# same suite built with clang under AddressSanitizer and UndefinedBehaviorSanitizer, and every
# fuzzer for 30 seconds. Prints how long each part took.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
suite() { (cd "$1" && ctest --output-on-failure -j2 --timeout 600); }
took() { echo "== $1: $((SECONDS - start)) s"; start=$SECONDS; }

start=$SECONDS
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DFERIO_TESTS=ON
cmake --build build-tests -j2
suite build-tests
took "build and suite"

# A leak fails a test as any fault does, except those whose stack lies in system libraries
# alone, which tests/lsan.supp names.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DFERIO_TESTS=ON -DFERIO_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
  suite build-asan
took "sanitizer build and suite"

bash scripts/fuzz.sh 30
took "fuzzers"
