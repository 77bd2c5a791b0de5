#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-httpserver-dev qcoro-qt6-dev libcurl4-openssl-dev libqt6sql6-sqlite qt6-qpa-plugins qt6-translations-l10n
  qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript qml6-module-qtquick
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtquick-controls
  qml6-module-qtquick-layouts qml6-module-qtquick-dialogs qml6-module-qtquick-shapes
  qml6-module-qt-labs-folderlistmodel qml6-module-qttest libqt6svg6 libgl1-mesa-dri libegl-mesa0
  xvfb xauth dbus shared-mime-info fonts-material-design-icons-iconfont fonts-noto-color-emoji ninja-build cmake g++
  # The hostile test server's gzip answer.
  zlib1g-dev
  # The sanitizer build and the fuzz targets (scripts/test-sanitized.sh).
  clang libclang-rt-14-dev llvm
  # The validators of the desktop entry and the metainfo.
  desktop-file-utils appstream
  # The accessibility test: the AT-SPI bus and registry, their Python client and the keyboard.
  at-spi2-core python3-pyatspi xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
