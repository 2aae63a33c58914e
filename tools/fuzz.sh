#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each of them for a while.
#   tools/fuzz.sh [SECONDS]   seconds per target (60 by default)
# Exits non-zero when a target crashed, hung or broke one of the promises it checks; the input is
# saved in build-fuzz/findings/<target>/ and its path printed. Inputs that reach new code collect
# in build-fuzz/corpus/<target>/; the seeds in fuzz/corpus/<target>/ are only read.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [seconds-per-target]" >&2
  exit 2
fi
build="$root/build-fuzz"
targets=(level user_files hud_vertex)

packages=(clang libclang-rt-14-dev cmake pkg-config libsfml-dev liblua5.2-dev xvfb xauth)
"$root/tools/install-missing.sh" "${packages[@]}" || exit 1

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUELLIX_FUZZ=ON -DQUELLIX_MAKE_DATA=OFF -DQUELLIX_TESTS=OFF -DQUELLIX_BENCH=OFF >/dev/null || exit 1
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}" || exit 1

# The level map's texture needs a graphics context, and so an X display.
display=()
if [ -z "${DISPLAY:-}" ]; then
  display=(xvfb-run -a -s "-screen 0 1280x720x24")
fi
# Mesa's software driver keeps a few allocations for the life of the process.
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer.supp:print_suppressions=0"

failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  log="$build/fuzz_$target.log"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$target for ${seconds} s (log: $log)"
  "${display[@]}" "$build/fuzz/fuzz_$target" "$corpus" "$root/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -close_fd_mask=1 \
    -dict="$root/fuzz/$target.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
    >"$log" 2>&1
  status=$?
  if [ $status -eq 0 ]; then
    grep -E "^Done|stat::number_of_executed_units" "$log" | head -2
  else
    failed+=("fuzz_$target")
    echo "fuzz_$target FAILED (exit $status):"
    grep -E "ERROR:|SUMMARY:|^fuzz_$target: " "$log" | head -5
    grep -E "Test unit written to" "$log" | sed 's/.*Test unit written to /  input saved in /'
    echo "  replay it: ${display[*]} $build/fuzz/fuzz_$target INPUT"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Faults found by: ${failed[*]}"
  exit 1
fi
echo "No fault found."
