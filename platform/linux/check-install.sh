#!/usr/bin/env bash
# Installs the build into a scratch root and checks what landed there: the program, the desktop
# entry and the metainfo (each passed by its validator without a warning) and every icon.
#     check-install.sh BUILD_DIR APP_ID "SIZES"
set -euo pipefail
build=$1 id=$2 sizes=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
fail=0
check() { if ! "$@"; then echo "FAIL: $*"; fail=1; fi; }

check test -x "$root/usr/bin/kalvorin"
desktop="$share/applications/$id.desktop"
echo "desktop-file-validate $id.desktop:"
out=$(desktop-file-validate "$desktop" 2>&1) || fail=1
echo "${out:-  (no remarks)}"
[ -z "$out" ] || fail=1
echo "appstreamcli validate --no-net $id.metainfo.xml:"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail=1
echo "appstreamcli validate-tree --no-net (installed tree):"
appstreamcli validate-tree --no-net "$root" || fail=1
check test -s "$share/icons/hicolor/scalable/apps/$id.svg"
for size in $sizes; do
  png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  check test -s "$png"
  # A PNG of the right size: width and height sit at bytes 16–23 of its header.
  check test "$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')" = "${size}x${size}"
done
# Only the app: the development server and the tools stay out of the package.
extra=$(find "$root/usr/bin" -type f ! -name kalvorin)
check test -z "$extra"
[ "$fail" -eq 0 ] && echo "installed tree OK"
exit "$fail"
