#!/usr/bin/env bash
# Installs what is missing, then configures and builds into ./build. With
# PLEN_WARNINGS_AS_ERRORS=ON in the environment (the test script sets it) a warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPLEN_WARNINGS_AS_ERRORS="${PLEN_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build build
