#!/usr/bin/env bash
# Installs what is missing, builds the program, the sanitizer and the fuzzing
# configurations once each, and runs every test. Ends with ctest's summary.
set -uo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh || exit 1

step() { echo; echo "=== $*"; }
failed=0

step "Building (RelWithDebInfo)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build || exit 1

step "Building with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMARO_SANITIZE=ON >/dev/null || exit 1
cmake --build build-asan || exit 1

step "Building the fuzz targets (clang, libFuzzer)"
cmake -S . -B build-fuzz -G Ninja -DLUMARO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build build-fuzz || exit 1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0

step "Fuzzing"
(cd build-fuzz && ctest --output-on-failure -j2) || failed=1

step "Unit tests under ASan and UBSan"
(cd build-asan && ctest --output-on-failure -j2 -LE "e2e|bench") || failed=1

step "All tests"
(cd build && ctest --output-on-failure) || failed=1
exit $failed
