#!/usr/bin/env bash
# ThreadSanitizer over the module's threads: builds the core tests with -fsanitize=thread (BUILD-tsan,
# no widgets) and runs the tests whose code runs threads: the server's reader thread and the count
# beside the walk (database tests on a throw-away cluster, the server that stops answering), the
# blobs inflated ahead on a second core in a walk in storage order, the
# spooler's launcher threads and the statistics run. Any report fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${GS_TSAN_BUILD:-BUILD-tsan}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGS_BUILD_WIDGETS=OFF -DGS_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
cmake --build "$build" -j"$(nproc)" --target core_tests
cluster=$(mktemp -d /tmp/gs-tsan-pg.XXXXXX)
trap 'bash scripts/pg-test-cluster.sh stop "$cluster" >/dev/null 2>&1 || true' EXIT
export GS_TEST_PG=$(bash scripts/pg-test-cluster.sh restart "$cluster")
export GS_TEST_DATA=$PWD/tests/data
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 exitcode=66"
filter='*Server*:*DbTable*:*DbStorageWalk*:*DbBulkRead*:StatisticsRun*:StartOutputProcessors.*:ProcessorContract.*:SpoolStart.*'
"$build/tests/core_tests" --gtest_filter="$filter" --gtest_brief=1
echo "ThreadSanitizer: no reports"
