#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need.
# Only what is missing is installed; run as root or as a user with sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  liblua5.1-0-dev libsdl2-dev libepoxy-dev libopenal-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  libgtk-3-dev libwebkit2gtk-4.1-dev
  libpng-dev libjpeg-dev zlib1g-dev libsquish-dev
  xvfb xauth libgl1-mesa-dri locales xdotool
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyobjloader-dev
  libode-dev libbullet-dev
  clang libclang-rt-dev
  libfreetype-dev fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
