#!/usr/bin/env bash
# Builds and runs every benchmark; each prints its own table. Uses ../shared/testdata beside the
# project where present. Exits non-zero when a benchmark reports a missed target.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh || exit 1
status=0
run() {
    echo
    echo "== $*"
    "$@" || status=1
}
run build/bench/startup/bench_startup
run build/bench/batch_window/bench_batch_window
run build/bench/render_speed/render_speed
run build/bench/engine/bench_engine
run build/bench/print_run/bench_print_run
exit $status
