#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, quietly and only
# those that are missing. Needs root (or sudo) when something is missing.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  libcairo2-dev libpng-dev libfreetype-dev libfontconfig-dev fonts-liberation
  nlohmann-json3-dev libcpp-httplib-dev libssl-dev
  imagemagick
)
# Extra packages a caller asks for (e.g. the browser tests' chromium).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
