#!/usr/bin/env bash
# Configures and builds the project into ./build (or $KALVORIN_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KALVORIN_BUILD_DIR:-$root/build}"
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${KALVORIN_BUILD_TYPE:-RelWithDebInfo}" -DKALVORIN_WERROR="$werror" >/dev/null
cmake --build "$build" -j "$(nproc)"
