#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests (core and widgets, offscreen); then
# builds the core once more with AddressSanitizer and UndefinedBehaviorSanitizer (clang, no widgets,
# BUILD-asan) and runs there the core tests, the report command's tests and every fuzz target over its
# seeds. Any sanitizer report fails the command. GS_SKIP_SANITIZERS=1 leaves the second build out.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
bash scripts/install-deps.sh
bash scripts/check-layers.sh
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release
cmake --build BUILD -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir BUILD --output-on-failure -j"$(nproc)"
echo "test command: main build and tests in $(( $(date +%s) - start )) s"
[ "${GS_SKIP_SANITIZERS:-0}" = 1 ] && exit 0

# Undefined behaviour and every ASan finding stop the program (-fno-sanitize-recover=all); a leak
# fails it at exit.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
CC=clang CXX=clang++ cmake -S . -B BUILD-asan -DCMAKE_BUILD_TYPE=Release -DGS_BUILD_WIDGETS=OFF \
  -DGS_BUILD_BENCH=OFF -DGS_BUILD_FUZZ=ON
cmake --build BUILD-asan -j"$(nproc)"
ctest --test-dir BUILD-asan --output-on-failure -j"$(nproc)"
echo "test command: everything in $(( $(date +%s) - start )) s"
