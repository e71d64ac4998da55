#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, only when one is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format clang-tidy ccache
  libsdl2-dev libsdl2-mixer-dev libxmp-dev
  libcairo2-dev libfreetype-dev fonts-dejavu-core libpng-dev
  libcurl4-openssl-dev libssl-dev libboost-dev libsqlite3-dev libpq-dev zlib1g-dev postgresql wrk
  nlohmann-json3-dev prometheus
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb x11-utils imagemagick sox chromium evilwm libx11-dev
  desktop-file-utils appstream lintian dpkg-dev man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
