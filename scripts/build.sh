#!/usr/bin/env bash
# Configures and builds the project into ./build (or $KALVORIN_BUILD_DIR): everything, or only
# the targets named on the command line (scripts/build.sh kalvorin devserver).
# In CI (CI=true) warnings are errors.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KALVORIN_BUILD_DIR:-$root/build}"
options=(-G Ninja -DCMAKE_BUILD_TYPE="${KALVORIN_BUILD_TYPE:-RelWithDebInfo}")
if [ "${CI:-}" = "true" ]; then options+=(-DKALVORIN_WERROR=ON); fi
cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
