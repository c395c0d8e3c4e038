#!/usr/bin/env bash
# Runs fuzz targets FUZZ_JOBS at a time for FUZZ_SECONDS each and stops at
# the first finding; prints each target's executions and coverage.
#   fuzz-run.sh FUZZ_BUILD_DIR TARGET...
set -uo pipefail
build=$1
shift
seconds=${FUZZ_SECONDS:-600}
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=${FUZZ_JOBS:-2}

run() {  # target
  local t=$1
  mkdir -p "$build/corpus-$t" "$build/findings-$t"
  # The readers' own diagnostics (a line per refused input, hundreds of MB in
  # ten minutes) are closed off; libFuzzer's lines and the sanitizers'
  # reports still reach the log.
  "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
    -close_fd_mask=3 \
    -dict="$here/tests/fuzz/chunks.dict" \
    -artifact_prefix="$build/findings-$t/" "$build/corpus-$t" >"$build/fuzz-$t.log" 2>&1
}

summary() {  # target, status
  local t=$1 status=$2
  local execs cov
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz-$t.log" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$build/fuzz-$t.log" | tail -1 || true)
  echo "fuzz_$t: ${execs:-?} executions, ${cov:-no coverage line}, $([ "$status" = 0 ] && echo 'no finding' || echo "FINDING (see $build/fuzz-$t.log, $build/findings-$t/)")"
}

set -- "$@"
while [ $# -gt 0 ]; do
  batch=()
  while [ $# -gt 0 ] && [ ${#batch[@]} -lt "$jobs" ]; do
    batch+=("$1")
    shift
  done
  pids=()
  for t in "${batch[@]}"; do
    run "$t" &
    pids+=($!)
  done
  failed=0
  for i in "${!batch[@]}"; do
    wait "${pids[$i]}"
    status=$?
    summary "${batch[$i]}" "$status"
    [ "$status" = 0 ] || failed=1
  done
  if [ "$failed" != 0 ]; then
    echo "fuzz: stopped at the first finding"
    exit 1
  fi
done
