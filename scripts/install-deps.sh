#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing PlenBatchPrint need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libvisio-dev librevenge-dev libxml2-dev libcups2-dev libgtest-dev libemf2svg-dev libwmf-dev
  cups cups-client cups-filters cups-bsd
  fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-dejavu-core
  libjemalloc-dev libxcb1-dev libseccomp-dev libqpdf-dev poppler-utils xdg-utils qt6-wayland
  appstream desktop-file-utils dpkg-dev man-db
  # the fuzz build only (scripts/fuzz.sh): libFuzzer and sanitizers, and the tools that cut the
  # page-table seeds out of the drawings
  clang libclang-rt-14-dev libgsf-bin unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
