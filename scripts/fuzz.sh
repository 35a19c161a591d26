#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer; the same
# folder as the test command's sanitizer build, BUILD-asan) and runs every target for SECONDS (default
# 60) at low priority, one after the other. New inputs go to fuzz/runs/<target>/ (ignored by git), the
# seeds (fuzz/seeds/<target>, else fuzz/corpus) are only read; crashes land in fuzz/runs/ as
# crash-* files. GS_FUZZ_TARGETS="A B" runs only those. Prints each target's executions.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=BUILD-asan
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGS_BUILD_WIDGETS=OFF \
  -DGS_BUILD_BENCH=OFF -DGS_BUILD_FUZZ=ON >/dev/null
targets=${GS_FUZZ_TARGETS:-$(ls fuzz/*.cpp | xargs -n1 basename | sed 's/\.cpp$//')}
for t in $targets; do cmake --build "$build" -j"$(nproc)" --target "$t" >/dev/null; done
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in $targets; do
  seeds=fuzz/corpus; [ -d "fuzz/seeds/$t" ] && seeds=fuzz/seeds/$t
  dict=(); [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  mkdir -p "fuzz/runs/$t"
  log=fuzz/runs/$t.log
  if nice -n 19 "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 "${dict[@]}" \
       -artifact_prefix="fuzz/runs/$t-" "fuzz/runs/$t" "$seeds" >"$log" 2>&1; then
    echo "$t: $(grep -m1 stat::number_of_executed_units "$log" | awk '{print $2}') executions, no crash"
  else
    echo "$t: FAILED (see $log)"; status=1
  fi
done
exit $status
