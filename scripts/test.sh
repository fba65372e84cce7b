#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (ctest starts and stops the private
# CUPS scheduler the printing tests use), then every fuzz target for a short while: a crash or
# hang found there fails the run. A compiler warning fails it too, in both builds.
set -euo pipefail
export PLEN_WARNINGS_AS_ERRORS=ON
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && ctest --output-on-failure -j2)
scripts/fuzz.sh all 15
