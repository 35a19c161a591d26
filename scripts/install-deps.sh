#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Safe to run again.
set -euo pipefail
PKGS=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libsqlite3-dev sqlite3 zlib1g-dev libcups2-dev util-linux
  libpq-dev postgresql
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-dejavu-core fonts-liberation2
  poppler-utils cups printer-driver-cups-pdf
  python3
  clang libclang-rt-14-dev
  dpkg-dev fakeroot
  libxlsxwriter-dev python3-openpyxl
  qt6-svg-dev
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi
