#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer + ASan + UBSan) in build/fuzz and runs each for a
# given time, two at a time, niced. New inputs go to build/fuzz/corpus/<target> (the seeds in
# fuzz/corpus/<target> are read, never written); crashes, hangs and property failures go to
# build/fuzz/artifacts/<target>/. At the end one line per target tells the executions run and
# the findings.
#
#   fuzz/run.sh [SECONDS] [TARGET...]      SECONDS per target, default 600; all targets by default
#   SBQ_FUZZ_JOBS=1 fuzz/run.sh 60         one target at a time
#   SBQ_FUZZ_RUNS=1000000 fuzz/run.sh 3600 fuzz_settings_document
#                                          a million inputs, or an hour if that comes first
#
# Needs clang and libclang-rt-14-dev (apt-get install clang libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
jobs="${SBQ_FUZZ_JOBS:-2}"
runs="${SBQ_FUZZ_RUNS:-}"
build=build/fuzz
all=(fuzz_settings_file fuzz_settings_document fuzz_param_record fuzz_fine_record fuzz_ip_records fuzz_issue_record
     fuzz_client_id fuzz_printer_list fuzz_pages fuzz_spooler_printers)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DSBQ_FUZZ=ON -DSBQ_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

run_one() {
  local target="$1" work="$build/corpus/$1" artifacts="$build/artifacts/$1/"
  mkdir -p "$work" "$artifacts"
  # -timeout: one input taking longer than 10 s is a hang; -rss_limit_mb bounds a runaway.
  LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp" nice -n 10 "$build/fuzz/$target" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" ${runs:+-runs="$runs"} \
    -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$artifacts" >"$build/$target.log" 2>&1 || true
}

running=0
for target in "${targets[@]}"; do
  run_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

status=0
for target in "${targets[@]}"; do
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$target.log" | grep -o '[0-9]*$' || echo 0)"
  findings="$(find "$build/artifacts/$target" -type f | wc -l)"
  echo "$target: ${runs:-0} executions, $findings findings (log $build/$target.log)"
  [ "$findings" -eq 0 ] || status=1
done
exit "$status"
