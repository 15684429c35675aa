#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS [NAME...]]: builds every fuzzer (clang, in build-fuzz) and runs each
# (or only fuzz_NAME...) for SECONDS (30 unless given), two at a time. Each starts from the seeds that fuzz-seeds writes with our own
# writers and may grow inputs up to its largest seed, which is its reader's size limit. New inputs
# are kept in build-fuzz/corpus/<name>; an input that fails is kept in build-fuzz/crashes/<name>.
# Ends with 1 when any fuzzer found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=build-fuzz

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFERIO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
mapfile -t targets < <(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(fuzz_[A-Za-z0-9_]*\).*/\1/p')
if [ $# -gt 0 ]; then targets=("${@/#/fuzz_}"); fi
cmake --build "$build" -j2 --target fuzz-seeds "${targets[@]}" >/dev/null
rm -rf "$build/seeds"
"$build/bin/fuzz-seeds" . "$build/seeds"

# run TARGET: one fuzzer, its output in build-fuzz/TARGET.log, one line of figures on stdout.
run() {
  local t=$1 name=${1#fuzz_}
  local seeds=$build/seeds/$name corpus=$build/corpus/$name crashes=$build/crashes/$name
  mkdir -p "$corpus" "$crashes"
  local args=(-max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 -artifact_prefix="$crashes/")
  local dirs=("$corpus") limit="libFuzzer's own"
  if [ -d "$seeds" ]; then
    # never below libFuzzer's own 4096, for readers whose seeds are all small
    limit=$( (echo 4096; find "$seeds" -type f -printf '%s\n') | sort -n | tail -1)
    args+=(-max_len="$limit")
    dirs+=("$seeds")
  fi
  local rc=0
  "$build/bin/$t" "${args[@]}" "${dirs[@]}" >"$build/$t.log" 2>&1 || rc=$?
  local runs cov largest
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$t.log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$build/$t.log" | tail -1)
  # The largest input the fuzzer made itself: the corpus holds copies of seeds too, named by hash.
  largest=$(comm -23 <(ls "$corpus" | sort) <(find "$seeds" -type f -exec sha1sum {} + 2>/dev/null | cut -c1-40 | sort) |
    (cd "$corpus" && xargs -r stat -c %s) | sort -n | tail -1)
  echo "$t: ${runs:-?} runs, ${cov:-no coverage}, largest input made ${largest:-0} bytes, limit $limit"
  if [ "$rc" -ne 0 ]; then
    echo "$t FOUND A FAULT (input kept in $crashes):"
    tail -n 60 "$build/$t.log"
    return 1
  fi
}
export -f run
export build seconds

printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run {}' || exit 1
