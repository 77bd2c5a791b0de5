#!/usr/bin/env bash
# Builds the whole project and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang) into ./build-asan (or $KALVORIN_ASAN_BUILD_DIR),
# runs every test there, then fuzzes the record decoding for a fixed number of
# runs ($KALVORIN_FUZZ_RUNS, 200000 by default). CI runs it after the normal tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KALVORIN_ASAN_BUILD_DIR:-$root/build-asan}"
options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
  -DKALVORIN_SANITIZE=ON -DKALVORIN_WITH_FUZZ=ON)
if [ "${CI:-}" = "true" ]; then options+=(-DKALVORIN_WERROR=ON); fi
cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
# A sanitizer run that ran no test would prove nothing.
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" "$@"
"$root/fuzz/run.sh" "$build" "${KALVORIN_FUZZ_RUNS:-200000}"
