#!/usr/bin/env bash
# Installs what is missing, builds, starts the development server with its demo
# data, runs the app against it, and stops the server when the app closes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build="${KALVORIN_BUILD_DIR:-$root/build}"

server_pid=""
if [ -x "$build/devserver/devserver" ]; then
  "$build/devserver/devserver" "$@" &
  server_pid=$!
  trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT
  sleep 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No screen: run inside a virtual one.
  xvfb-run -a -s '-screen 0 1280x1024x24' "$build/app/kalvorin"
else
  "$build/app/kalvorin"
fi
