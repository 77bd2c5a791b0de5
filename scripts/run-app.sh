#!/usr/bin/env bash
# Installs what is missing, builds, starts the development server with its demo
# data, runs the app against it, and stops the server when the app closes.
# Options before the app are the server's (see devserver/README.md).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# Only what runs here: the app and the development server, not the tests and benchmarks.
"$root/scripts/build.sh" kalvorin devserver
build="${KALVORIN_BUILD_DIR:-$root/build}"

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="/tmp/kalvorin-runtime-$(id -u)"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

app=("$build/app/kalvorin")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No screen: run inside a virtual one.
  app=(xvfb-run -a -s '-screen 0 1280x1024x24' "${app[@]}")
fi
status=0
"$root/devserver/with-devserver.sh" --build "$build" -- "$@" -- "${app[@]}" || status=$?
# Ctrl+C is how a terminal user closes the app (the app itself quits cleanly on it; xvfb-run
# does not): not a failure.
if [ "$status" -eq 130 ]; then status=0; fi
exit "$status"
