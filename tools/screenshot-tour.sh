#!/bin/sh
# The screenshot tour: starts the development server on a free port with a fresh demo database,
# runs the app's screens under Xvfb, signs in with the first demo account the server prints and
# writes one PNG per screen into OUTDIR.
#
#     tools/screenshot-tour.sh OUTDIR [BUILD_DIR] [--idle-cpu SECONDS]
#
# BUILD_DIR defaults to ./build (it needs the targets devserver and kalvorin-tour).
set -eu

out=${1:?usage: tools/screenshot-tour.sh OUTDIR [BUILD_DIR] [--idle-cpu SECONDS]}
shift
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
here=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build=$here/$build ;; esac

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$build/devserver/devserver" --port 0 --db "$work/tour.sqlite" --reset --test-controls >"$work/server.log" 2>&1 &
server_pid=$!
i=0
while ! grep -q '^listening on ' "$work/server.log"; do
  i=$((i + 1))
  if [ $i -gt 200 ] || ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the development server did not start:" >&2; cat "$work/server.log" >&2; exit 1
  fi
  sleep 0.05
done
# "listening on http://127.0.0.1:PORT/kalvorin/api/mobile/index.php" → the base URL.
base=$(sed -n 's|^listening on \(http://[^ ]*/\)api/mobile/index.php.*|\1|p' "$work/server.log" | head -n 1)
# The first demo account: "  NAME / PASSWORD — role — scope".
account=$(sed -n '/^demo accounts/{n;p;q}' "$work/server.log")
user=$(echo "$account" | awk '{print $1}')
KALVORIN_TOUR_PASSWORD=$(echo "$account" | awk '{print $3}')
export KALVORIN_TOUR_PASSWORD
# The first processing agent: "  agent.NAME / PASSWORD — role — scope".
agent=$(grep -m 1 '^  agent\.' "$work/server.log" || true)
KALVORIN_TOUR_AGENT=$(echo "$agent" | awk '{print $1}')
KALVORIN_TOUR_AGENT_PASSWORD=$(echo "$agent" | awk '{print $3}')
export KALVORIN_TOUR_AGENT KALVORIN_TOUR_AGENT_PASSWORD
echo "server $base, signing in as $user"

mkdir -p "$out"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
run="$build/tools/kalvorin-tour"
if command -v dbus-run-session >/dev/null 2>&1; then set -- dbus-run-session -- "$run" "$out" "$base" "$user" "$@"
else set -- "$run" "$out" "$base" "$user" "$@"; fi
xvfb-run -a -s '-screen 0 1280x1024x24' "$@"
