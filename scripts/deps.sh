#!/usr/bin/env bash
# Installs the Debian packages NQ501 needs to build, run and test, when any is missing.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools libqt6uitools6 libgl-dev qt6-qpa-plugins
  libjsoncpp-dev libcurl4-openssl-dev libasound2-dev libcli11-dev
  libgtest-dev libgmock-dev
  xvfb xauth fonts-dejavu-core xdotool
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
