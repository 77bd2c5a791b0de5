#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# In CI (CI=true) the tests then run again in a sanitizer build, and the record
# decoding is fuzzed (scripts/test-sanitized.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build="${KALVORIN_BUILD_DIR:-$root/build}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
if [ "${CI:-}" = "true" ]; then
  "$root/scripts/test-sanitized.sh" "$@"
fi
