#!/usr/bin/env bash
# Installs what is missing, builds, and prints the bundled sample drawing in a silent run.
# With no printer installed the job goes to the built-in PDF printer, which writes
# "sample.vdx.pdf" into $PLENBATCHPRINT_PDF_DIR (default ~/PDF).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/app/plenbatchprint /silent "/file=$PWD/resources/samples/sample.vdx" "$@"
