#!/usr/bin/env bash
# Runs every libFuzzer target for a while under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [seconds per target, default 60] [build folder, default build-fuzz]
#
# Each target starts from its checked-in seeds (tests/fuzz/corpus/<target>) and grows a working
# corpus in the build folder, so the checked-in seeds only change by hand. A finding stops the
# run with the crashing input saved in the build folder; add it to the seeds once fixed.
set -euo pipefail
seconds="${1:-60}"
build="${2:-build-fuzz}"
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: install clang (scripts/install-deps.sh)" >&2
  exit 1
fi
# A finding's report needs line tables only, which also keep the build short.
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DTARVIK_FUZZ=ON -DTARVIK_BUILD_TESTS=OFF \
  >/dev/null
targets=(fuzz_reply_frames fuzz_tvk_file fuzz_full_backup fuzz_firmware_image fuzz_sim_commands
  fuzz_preset_csv)
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
status=0
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  mkdir -p "$work" "$build/findings/$target"
  log="$build/$target.log"
  if "$build/tests/fuzz/$target" "$work" "tests/fuzz/corpus/$target" -max_total_time="$seconds" \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/findings/$target/" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} executions in ${seconds} s, no finding"
  else
    echo "$target: FINDING (see $log and $build/findings/$target/)" >&2
    tail -30 "$log" >&2
    status=1
  fi
done
exit $status
