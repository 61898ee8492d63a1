#!/usr/bin/env bash
# Runs the fuzz targets with libFuzzer (clang, ASan, UBSan), each for a bounded time.
#
#   scripts/fuzz.sh [-t SECONDS] [-j JOBS] [TARGET...]
#
# Default: every target for 60 seconds, one after the other. The build goes to
# build-fuzz/ (warnings are not errors there: the g++ builds are the warnings gate).
# Each target starts from its corpus in fuzz/corpus/TARGET and keeps what it
# learns in build-fuzz/corpus/TARGET; a crashing, hanging or leaking input is written to
# build-fuzz/findings/TARGET/ and the script ends with status 1. Add a fixed finding to
# fuzz/corpus/TARGET so the replay tests keep it fixed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
jobs=2
while getopts "t:j:" option; do
  case $option in
    t) seconds=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) sed -n '2,11p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

all_targets=(configuration_fuzz obf_fuzz srecords_fuzz loop_layout_fuzz sysex_replies_fuzz
             midi_file_fuzz settings_fuzz)
[ -f "$here/plenum/protocol/registration_file.cpp" ] && all_targets+=(registration_fuzz)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

build="$here/build-fuzz"
# Every library gets coverage instrumentation; only the fuzz programs link libFuzzer's main.
CC=clang CXX=clang++ cmake -S "$here" -B "$build" \
  -DPLENUM_FUZZ=ON -DPLENUM_SANITIZE=ON -DPLENUM_WERROR=OFF \
  -DPLENUM_BUILD_TIRASSE=OFF -DPLENUM_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  >/dev/null
nice cmake --build "$build" -j"$jobs" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  # The standard firmware files seed the firmware reader; they live once, in examples/.
  seeds=()
  [ "$target" = obf_fuzz ] && seeds=("$here/examples/firmware")
  echo "== $target: ${seconds}s"
  # Standard output and error of the target itself are closed (-close_fd_mask=3): plenum
  # prints a great deal; libFuzzer's own report still reaches the terminal.
  if ! ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      nice -n 19 "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 \
      -rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$here/fuzz/corpus/$target" "${seeds[@]}" 2>&1 |
      grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss|==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)'; then
    :
  fi
  if [ -n "$(ls -A "$findings")" ]; then
    echo "$target: findings in $findings"
    status=1
  fi
done
exit $status
