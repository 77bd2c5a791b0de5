#!/usr/bin/env bash
# Runs a command next to the development server: starts the server (default
# http://127.0.0.1:8080/kalvorin/, the app's default), waits until it listens,
# runs the command, and stops the server when the command ends, however it ends.
#   devserver/with-devserver.sh [--build DIR] [-- server options...] -- command [args...]
# Without server options the server keeps its database in the user's data folder
# (demo data on first run). Example:
#   devserver/with-devserver.sh -- build/app/kalvorin
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KALVORIN_BUILD_DIR:-$root/build}"
if [ "${1:-}" = "--build" ]; then build="$2"; shift 2; fi
server_args=()
if [ "${1:-}" = "--" ]; then shift; fi
# Everything up to a second "--" belongs to the server, when there is one.
if printf '%s\n' "$@" | grep -qx -- '--'; then
  while [ "$1" != "--" ]; do server_args+=("$1"); shift; done
  shift
fi
[ $# -gt 0 ] || { echo "usage: $0 [--build DIR] [-- server options --] command [args...]" >&2; exit 2; }

log="$(mktemp -t kalvorin-devserver.XXXXXX)"
"$build/devserver/devserver" "${server_args[@]}" >"$log" 2>&1 &
server=$!
stop() { kill -TERM "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$log"; }
trap stop EXIT INT TERM
for _ in $(seq 1 600); do
  if grep -q '^listening on ' "$log"; then break; fi
  if ! kill -0 "$server" 2>/dev/null; then cat "$log" >&2; exit 1; fi
  sleep 0.1
done
cat "$log"
"$@"
