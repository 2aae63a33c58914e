#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
#   ./test.sh             the normal build in build/
#   ./test.sh --sanitize  a second build in build-asan/ with AddressSanitizer and UBSan
# Extra arguments after these go to ctest (for example -R StateStack).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir=build
cmake_args=()
if [ "${1:-}" = "--sanitize" ]; then
  shift
  build_dir=build-asan
  cmake_args=(-DQUELLIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUELLIX_BENCH=OFF)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizer.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
"$root/tools/setup.sh" "$build_dir" "${cmake_args[@]}"
cd "$root/$build_dir"
run_tests=(ctest --output-on-failure -j 2 "$@")
if [ "$build_dir" = build-asan ]; then
  # Mesa's software GL driver is unloaded before LeakSanitizer reports, which leaves its leaks
  # unnamed and so unsuppressible; keeping it loaded lets tests/sanitizer.supp name it.
  dri=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
  if [ -f "$dri" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"
    run_tests=(env LD_PRELOAD="$dri" "${run_tests[@]}")
  fi
fi
# Window tests need an X display; without one the whole suite runs inside a virtual one.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "${run_tests[@]}"
fi
exec "${run_tests[@]}"
