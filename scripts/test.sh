#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests (core and widgets, offscreen), then the
# core tests once more under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-layers.sh
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release
cmake --build BUILD -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir BUILD --output-on-failure -j"$(nproc)"
# The core once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (no windows, no
# benchmarks): the core tests, the database server's tests and the report command's tests. Any report
# of either sanitizer ends its program and so fails the test command.
cmake -S . -B BUILD-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DGS_SANITIZE=ON \
  -DGS_BUILD_WIDGETS=OFF -DGS_BUILD_BENCH=OFF
cmake --build BUILD-asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir BUILD-asan --output-on-failure -j"$(nproc)"
