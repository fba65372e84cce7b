#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (ctest starts and stops the private
# CUPS scheduler the printing tests use).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
ctest --output-on-failure -j2
