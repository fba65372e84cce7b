#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UBSan) into ./build-fuzz and runs
# TARGET (default: every target, one after the other) for SECONDS each (default 60).
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]
#
# Targets: command_line batch_list job_file settings_store vdx_page_table vsdx_page_table
# vsd_page_table drawing print_run. Each grows its corpus in build-fuzz/corpus/TARGET, seeded from
# tests/fuzz/seeds, the project's drawings and, where present, ../shared/testdata. An input
# that crashes, trips a sanitizer or takes longer than 10 s is written to
# build-fuzz/findings/TARGET/ and the script fails; the figures of each run are in
# build-fuzz/logs/TARGET.log. Run long sessions with `nice -n 19`.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(command_line batch_list job_file settings_store
             vdx_page_table vsdx_page_table vsd_page_table drawing print_run)
target=${1:-all}
seconds=${2:-60}
if [ "$target" = all ]; then
  targets=("${all_targets[@]}")
elif [[ " ${all_targets[*]} " == *" $target "* ]]; then
  targets=("$target")
else
  echo "unknown fuzz target '$target'; targets: ${all_targets[*]}" >&2
  exit 2
fi

scripts/install-deps.sh
out=build-fuzz
# PLEN_WARNINGS_AS_ERRORS=ON in the environment (the test script sets it): a warning fails.
CC=clang CXX=clang++ cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPLEN_FUZZ=ON -DPLEN_WARNINGS_AS_ERRORS="${PLEN_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build "$out" --target fuzzers

# Seeds, laid out afresh on every run.
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
cp -r tests/fuzz/seeds/. "$seeds"/
shared=../shared/testdata
drawings=(tests/fixtures/drawings/* resources/samples/*.vdx)
if [ -d "$shared" ]; then
  drawings+=("$shared"/*/*.vs* "$shared"/*/*.vdx)
else
  echo "note: $shared is absent; the drawing targets start from the project's drawings only"
fi
mkdir -p "$seeds"/{vdx_page_table,vsdx_page_table,vsd_page_table,drawing}
for drawing in "${drawings[@]}"; do
  [ -f "$drawing" ] || continue
  name=$(basename "$drawing")
  cp "$drawing" "$seeds/drawing/"
  case "$drawing" in *.vdx) cp "$drawing" "$seeds/vdx_page_table/" ;; esac
  # The pages part of a zip drawing and the "VisioDocument" stream of a binary one.
  unzip -p "$drawing" visio/pages/pages.xml >"$seeds/vsdx_page_table/$name" 2>/dev/null ||
    rm -f "$seeds/vsdx_page_table/$name"
  gsf cat "$drawing" VisioDocument >"$seeds/vsd_page_table/$name" 2>/dev/null ||
    rm -f "$seeds/vsd_page_table/$name"
done

# The targets write each input to a file; in memory that costs microseconds, not milliseconds.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

failed=0
for name in "${targets[@]}"; do
  corpus=$out/corpus/$name
  findings=$out/findings/$name
  log=$out/logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  # libvisio gives up on broken drawings without freeing all it holds, and fontconfig keeps
  # what it loaded for Qt's fonts until the end; only leaks in the readers of our own formats
  # count.
  asan_options=${ASAN_OPTIONS:-}
  if [ "$name" = drawing ]; then
    options+=(-detect_leaks=0 -max_len=262144)
    asan_options=detect_leaks=0${asan_options:+:$asan_options}
  fi
  # Inputs that once failed are read first, with the sanitizers that caught them.
  inputs=("$corpus" "$seeds/$name")
  [ -d "tests/fuzz/regressions/$name" ] && inputs+=("tests/fuzz/regressions/$name")
  status=0
  ASAN_OPTIONS=$asan_options "$out/tests/fuzz/fuzz_$name" "${options[@]}" "${inputs[@]}" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "$name: FAILED after ${runs:-?} inputs; see $log and $findings/"
    grep -m3 -E '^==[0-9]+==ERROR|runtime error|ALARM|deadly signal' "$log" || true
  else
    echo "$name: ${runs:-?} inputs in ${seconds} s, no crash or hang"
  fi
done
exit "$failed"
