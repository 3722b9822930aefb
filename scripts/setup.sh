#!/usr/bin/env bash
# Installs what Orvanta Contacts needs to build, run and be tested on Debian
# (doing nothing when everything is there), then builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6svg6 libsqlite3-dev sqlite3
  xvfb xauth xdotool xdg-utils poppler-utils fonts-dejavu-core
  librsvg2-bin desktop-file-utils appstream lintian dpkg-dev file
  qtkeychain-qt6-dev radicale xandikos git openssl
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_WERROR="${ORVANTA_WERROR:-OFF}" >/dev/null
cmake --build build --parallel "$(nproc)"
