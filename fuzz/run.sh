#!/usr/bin/env bash
# Fuzzes the record decoding for a fixed number of runs:
#   fuzz/run.sh BUILD_DIR RUNS
# BUILD_DIR was configured with -DKALVORIN_WITH_FUZZ=ON. The seeds are the answers
# of tests/data, each once per answer type (a first byte 0 to 15 picks the type);
# inputs that reach new code are kept in BUILD_DIR/fuzz/corpus, and a failing
# input is left in BUILD_DIR/fuzz as crash-* (rerun: BUILD_DIR/fuzz/fuzz_records FILE).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
runs="$2"
corpus="$build/fuzz/corpus"
seeds="$build/fuzz/seeds"
rm -rf "$seeds"
mkdir -p "$corpus" "$seeds"
for answer in "$root"/tests/data/*.json; do
  for type in $(seq 0 15); do
    { printf "\\x$(printf %02x "$type")"; cat "$answer"; } >"$seeds/$type-$(basename "$answer")"
  done
done
cd "$build/fuzz"
./fuzz_records -runs="$runs" -dict="$root/fuzz/json.dict" -print_final_stats=1 "$corpus" "$seeds"
