#!/usr/bin/env bash
# Installs everything Coffret needs to build, run and test on Debian 12.
# Idempotent: apt is skipped when every package is already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format clang-14
  qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev qttools5-dev-tools qttools5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
  qml-module-qtquick-controls2 qml-module-qtquick-templates2 qml-module-qtquick-dialogs
  qml-module-qttest qml-module-qt-labs-platform qml-module-qt-labs-folderlistmodel qml-module-qtgraphicaleffects
  libarchive-dev libzip-dev zlib1g-dev liblzma-dev libssl-dev libxcb1-dev libx11-dev
  p7zip-full libarchive-tools zip unzip gzip pigz bzip2 xz-utils zstd
  libxml2-utils lcov xvfb xauth xdotool x11-utils imagemagick python3 xclip fonts-wqy-microhei
  desktop-file-utils appstream lintian shared-mime-info xdg-utils libfile-mimeinfo-perl
  libglib2.0-bin dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "All dependencies present."
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
