#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the bundled sample drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/app/plenbatchprint "/file=$PWD/resources/samples/sample.vdx" "$@"
